#!/usr/bin/env bash
# The Windows edition, tested on Linux: makes the Qt for MinGW (scripts/build-qt-mingw.sh; it
# unpacks PTK_QT_MINGW_TARBALL when that names a prebuilt one), cross-builds the whole program,
# the simulator and every test (preset mingw), runs the core and the window tests under Wine in a
# private prefix (build/wineprefix), checks the Win32 serial backend against the Linux and the
# Windows ptk-sim, installs the Windows folder and checks that its DLLs are complete, makes the
# installer and runs it end to end in a fresh prefix (tests/wine/run_installer_check.sh). Every
# Wine call has a time limit. Prints the sizes of the Windows programs and of the installer, and
# how long each stage took.
#
#   scripts/wine-tests.sh
#
# PTK_SIM=/path/to/ptk-sim uses that Linux simulator instead of building build/debug's.
# PTK_WINE_SCREENSHOTS=DIR saves the end-to-end run's pictures of the windows there (docs/).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="${PTK_JOBS:-$(nproc)}"

# shellcheck source=../tests/wine/wine_env.sh
source "$root/tests/wine/wine_env.sh"
trap wine_stop EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }
stage_start=0
begin() {
  echo "=== wine: $1"
  stage_start=$(now_ms)
}
timings=()
end() { timings+=("$1: $(($(now_ms) - stage_start)) ms"); }
all_start=$(now_ms)

begin "Qt for MinGW"
scripts/build-qt-mingw.sh
end "Qt for MinGW"

begin "cross build (preset mingw)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
end "cross build"

if [ -z "${PTK_SIM:-}" ]; then
  begin "Linux ptk-sim (preset debug)"
  [ -f build/debug/CMakeCache.txt ] || cmake --preset debug >/dev/null
  cmake --build --preset debug -j "$jobs" --target ptk-sim
  PTK_SIM="$root/build/debug/src/sim/ptk-sim"
  end "Linux ptk-sim"
fi

echo "=== wine: Windows programs"
find build/mingw -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/_CPack_*' \
  -printf '%s\t%p\n' | sort -k2 | awk -F'\t' '{ printf "  %9d bytes  %s\n", $1, $2 }'

begin "prefix"
wine_prepare_prefix
end "prefix"

begin "core and window tests under wine (ctest --preset mingw)"
# ctest ends a hung test after its own time-out; the outer limit covers ctest itself.
timeout -k 10 1500 ctest --preset mingw -j "$jobs"
end "core and window tests"

check_exe=build/mingw/tests/wine/wine_link_check.exe
begin "end-to-end: Win32 backend against the Linux ptk-sim"
timeout -k 10 600 tests/wine/run_link_check.sh "$check_exe" linux "$PTK_SIM"
end "end-to-end, Linux ptk-sim"

begin "end-to-end: Win32 backend against the Windows ptk-sim (null-modem by socat)"
timeout -k 10 600 tests/wine/run_link_check.sh "$check_exe" windows build/mingw/src/sim/ptk-sim.exe
end "end-to-end, Windows ptk-sim"

begin "the Windows folder and its DLLs"
rm -rf build/mingw-folder
cmake --install build/mingw --prefix build/mingw-folder >/dev/null
tests/wine/check_dll_closure.sh build/mingw-folder
echo "  $(du -sh build/mingw-folder | cut -f1) in $(find build/mingw-folder -type f | wc -l) files"
end "folder"

begin "installer (cpack --preset mingw)"
rm -f build/mingw/ptk-inspector-*-win64.exe
cpack --preset mingw >/dev/null
installer="$(ls build/mingw/ptk-inspector-*-win64.exe)"
echo "  $(stat -c %s "$installer") bytes  $installer"
end "installer"

begin "end-to-end: the installer in a fresh prefix, the program on Xvfb against ptk-sim"
timeout -k 10 1500 tests/wine/run_installer_check.sh "$installer" build/mingw-folder "$PTK_SIM" \
  "${PTK_WINE_SCREENSHOTS:-}"
end "end-to-end, installer"

echo "=== wine: done in $(($(now_ms) - all_start)) ms"
for line in "${timings[@]}"; do echo "  $line"; done
