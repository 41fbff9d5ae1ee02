#!/usr/bin/env bash
# The Windows side, tested on Linux: cross-builds the Qt-free core, the simulator and the core
# tests with MinGW-w64 (preset mingw), runs those tests under Wine in a private prefix
# (build/wineprefix), and checks the Win32 serial backend end to end against the Linux ptk-sim.
# Headless; every Wine call has a time limit. Prints the sizes of the Windows programs and how
# long each stage took.
#
#   scripts/wine-tests.sh
#
# PTK_SIM=/path/to/ptk-sim uses that Linux simulator instead of building build/debug's.
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
find build/mingw -name '*.exe' -not -path '*/CMakeFiles/*' -printf '%s\t%p\n' | sort -k2 |
  awk -F'\t' '{ printf "  %9d bytes  %s\n", $1, $2 }'

begin "prefix"
wine_prepare_prefix
end "prefix"

begin "core tests under wine (ctest --preset mingw)"
# ctest ends a hung test after its own time-out; the outer limit covers ctest itself.
timeout -k 10 1500 ctest --preset mingw -j "$jobs"
end "core tests"

check_exe=build/mingw/tests/wine/wine_link_check.exe
begin "end-to-end: Win32 backend against the Linux ptk-sim"
timeout -k 10 600 tests/wine/run_link_check.sh "$check_exe" linux "$PTK_SIM"
end "end-to-end, Linux ptk-sim"

# The Windows ptk-sim exists once the simulator's Win32 line driver is part of the build.
if [ -f build/mingw/src/sim/ptk-sim.exe ]; then
  begin "end-to-end: Win32 backend against the Windows ptk-sim (null-modem by socat)"
  timeout -k 10 600 tests/wine/run_link_check.sh "$check_exe" windows build/mingw/src/sim/ptk-sim.exe
  end "end-to-end, Windows ptk-sim"
else
  echo "=== wine: no build/mingw/src/sim/ptk-sim.exe, so no check of the Windows ptk-sim"
fi

echo "=== wine: done in $(($(now_ms) - all_start)) ms"
for line in "${timings[@]}"; do echo "  $line"; done
