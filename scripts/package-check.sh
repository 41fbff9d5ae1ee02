#!/usr/bin/env bash
# Builds the release configuration and its Debian package, installs the package and checks what
# it installed: the files in their places, a valid menu entry, the runtime libraries declared,
# and the installed ptk-inspector connecting offscreen to the installed ptk-sim (the end-to-end
# tests of the connect sequence and of the trace, run on the installed programs).
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
for file in "$bin/ptk-inspector" "$bin/ptk-sim" \
  "$root/usr/share/applications/ptk-inspector.desktop" \
  "$root/usr/share/icons/hicolor/scalable/apps/ptk-inspector.svg"; do
  [ -f "$file" ] || fail "not installed: $file"
done
desktop-file-validate "$root/usr/share/applications/ptk-inspector.desktop"
[ "$("$bin/ptk-inspector" --version)" = "$("$bin/ptk-sim" --version | sed 's/ptk-sim/ptk-inspector/')" ] ||
  fail "the two programs report different versions"
"$bin/ptk-inspector" --version

echo "=== installed programs: connect sequence and trace"
for test in inspector_e2e_test trace_e2e_test; do
  PTK_E2E_INSPECTOR="$bin/ptk-inspector" PTK_E2E_SIM="$bin/ptk-sim" QT_QPA_PLATFORM=offscreen \
    "build/release/tests/e2e/$test" --gtest_brief=1
done
echo "package-check: the installed package works"
