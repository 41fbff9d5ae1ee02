#!/usr/bin/env bash
# Builds the release configuration and its Debian package, has lintian check the package against
# Debian's policy (no error, no warning), installs it and checks what it installed: the files in
# their places, a valid menu entry and AppStream metainfo, manual pages that know every option,
# the runtime libraries declared, and the installed ptk-inspector connecting offscreen to the
# installed ptk-sim and the installed ptk-cli's commands against it (the end-to-end tests of the
# connect sequence, of the trace and of ptk-cli, run on the installed programs).
# As root (CI) the package is installed with dpkg -i and stays installed; otherwise it is
# unpacked into a scratch root.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "=== release: configure, build, package"
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
rm -f build/release/ptk-inspector_*.deb
cpack --preset release >/dev/null
deb=$(ls build/release/ptk-inspector_*.deb)
echo "package-check: $deb"

fail() {
  echo "package-check: $*" >&2
  exit 1
}

echo "=== lintian"
lintian --fail-on error,warning "$deb"
echo "package-check: lintian found no error and no warning"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
  case "$depends" in
    *"$library "* | *"$library,"* | *"$library") ;;
    *) fail "the package does not declare $library: $depends" ;;
  esac
done

root=""
if [ "$(id -u)" -eq 0 ]; then
  if ! dpkg -i "$deb" >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq >/dev/null
    dpkg -i "$deb" >/dev/null
  fi
  dpkg-query -W -f='${Status} ${Version}\n' ptk-inspector
else
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root"
  echo "package-check: not root, so unpacked into $root instead of installed"
fi

bin="$root/usr/bin"
share="$root/usr/share"
for file in "$bin/ptk-inspector" "$bin/ptk-sim" "$bin/ptk-cli" \
  "$share/man/man1/ptk-inspector.1.gz" "$share/man/man1/ptk-sim.1.gz" \
  "$share/man/man1/ptk-cli.1.gz" \
  "$share/doc/ptk-inspector/copyright" "$share/doc/ptk-inspector/changelog.gz" \
  "$share/applications/ptk-inspector.desktop" \
  "$share/icons/hicolor/scalable/apps/ptk-inspector.svg" \
  "$share/metainfo/org.example.ptk_inspector.metainfo.xml"; do
  [ -f "$file" ] || fail "not installed: $file"
done
desktop-file-validate "$share/applications/ptk-inspector.desktop"
appstreamcli validate --no-net "$share/metainfo/org.example.ptk_inspector.metainfo.xml"

# A manual page written by hand falls behind its program easily: every option the program's
# --help names must have its entry in the page.
options_of() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
for page in $(dpkg-deb -c "$deb" | grep -o 'usr/share/man/man1/[^ ]*\.1\.gz'); do
  program=$(basename "$page" .1.gz)
  page="$root/$page"
  missing=$(comm -23 <("$bin/$program" --help | options_of) \
    <(zcat "$page" | sed 's/\\-/-/g' | options_of))
  [ -z "$missing" ] || fail "the manual page of $program lacks $(echo $missing)"
done
for program in ptk-sim ptk-cli; do
  [ "$("$bin/ptk-inspector" --version)" = "$("$bin/$program" --version | sed "s/$program/ptk-inspector/")" ] ||
    fail "ptk-inspector and $program report different versions"
done
"$bin/ptk-inspector" --version

echo "=== installed programs: connect sequence, trace and ptk-cli"
for test in inspector_e2e_test trace_e2e_test cli_e2e_test; do
  PTK_E2E_INSPECTOR="$bin/ptk-inspector" PTK_E2E_SIM="$bin/ptk-sim" PTK_E2E_CLI="$bin/ptk-cli" \
    QT_QPA_PLATFORM=offscreen \
    "build/release/tests/e2e/$test" --gtest_brief=1
done
echo "package-check: the installed package works"
