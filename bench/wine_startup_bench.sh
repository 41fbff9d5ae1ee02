#!/usr/bin/env bash
# Start-up of the Windows ptk-inspector.exe under Wine beside the Linux build, on one virtual
# display of this machine: the time from exec to the main window visible on the X server, against
# ptk-sim on COM6 as at an inspector's desk. The Windows program runs from the folder that
# scripts/wine-tests.sh installs (build/mingw-folder) in the private prefix build/wineprefix, with
# the windows platform plugin; the Linux one with xcb. Wine's first start also starts the Wine
# server: that round is shown apart. Prints figures, judges nothing.
#
#   bench/wine_startup_bench.sh [rounds]    (7 by default)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-7}"
folder="$root/build/mingw-folder"
linux_program="$root/build/release/src/app/ptk-inspector"
[ -x "$linux_program" ] || linux_program="$root/build/debug/src/app/ptk-inspector"
sim_program="$(dirname "$linux_program")/../sim/ptk-sim"
for needed in "$folder/ptk-inspector.exe" "$linux_program" "$sim_program"; do
  [ -e "$needed" ] || { echo "wine_startup_bench: $needed is missing (scripts/wine-tests.sh)" >&2; exit 1; }
done

# shellcheck source=../tests/wine/wine_env.sh
source "$root/tests/wine/wine_env.sh"
unset WINEPATH
work="$(mktemp -d)"
cleanup() {
  set +e
  wine_stop_all
  rm -rf "$work" "$WINEPREFIX/dosdevices/com6"
}
trap cleanup EXIT
wine_prepare_prefix >/dev/null

printf 'COM6\n' >"$work/num_port.ini"
printf 'CBR_115200\n' >"$work/baude_fr.ini"
printf '7301\n' >"$work/pass_fr.ini"
(cd "$work" && exec "$sim_program" --link COM6 >"$work/sim.log" 2>&1) &
background_pids+=($!)
for _ in $(seq 100); do [ -L "$work/COM6" ] && break; sleep 0.1; done
ln -sfn "$(readlink -f "$work/COM6")" "$WINEPREFIX/dosdevices/com6"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
background_pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# one_start COMMAND...: prints the milliseconds from exec to the main window visible, then ends
# the program.
one_start() {
  local start pid
  start=$(now_ms)
  (cd "$work" && exec timeout -k 5 120 "$@" >/dev/null 2>&1) &
  pid=$!
  until xdotool search --onlyvisible --name '^Программа налогового инспектора$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo -1; return; }
    sleep 0.02
  done
  echo $(($(now_ms) - start))
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  while xdotool search --onlyvisible --name '^Программа налогового инспектора$' >/dev/null 2>&1; do
    sleep 0.1
  done
  sleep 1
}
summary() {  # summary LABEL FIGURES...
  local label="$1"
  shift
  printf '%-44s median %5d ms, min %5d, max %5d  (%d rounds)\n' "$label" \
    "$(printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p")" \
    "$(printf '%s\n' "$@" | sort -n | head -n 1)" "$(printf '%s\n' "$@" | sort -n | tail -n 1)" "$#"
}

linux=()
wine_cold=()
wine_warm=()
for _ in $(seq "$rounds"); do
  linux+=("$(QT_QPA_PLATFORM=xcb one_start "$linux_program")")
  wine_stop
  wine_cold+=("$(one_start "$WINE" "$folder/ptk-inspector.exe")")
  # A Wine server that is already up, as on a desk where Wine programs run all day.
  timeout -k 5 600 "$WINESERVER" -p 60
  wine_warm+=("$(one_start "$WINE" "$folder/ptk-inspector.exe")")
done
echo "exec to the main window on Xvfb, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg):"
summary "Linux build (xcb)" "${linux[@]}"
summary "Windows build under Wine, server started" "${wine_warm[@]}"
summary "Windows build under Wine, with server start" "${wine_cold[@]}"
