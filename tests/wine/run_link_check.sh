#!/usr/bin/env bash
# The end-to-end check of the Windows build: the cross-built wine_link_check talks to a
# simulated register on COM7 through the Win32 serial backend, under Wine. COM7 is a
# pseudo-terminal that Wine maps in two ways: its dosdevices link, and HKLM\Software\Wine\Ports,
# from which the registry port list is made when the Wine server starts.
#
#   tests/wine/run_link_check.sh CHECK_EXE linux PTK_SIM
#       the Linux ptk-sim serves COM7's pseudo-terminal itself;
#   tests/wine/run_link_check.sh CHECK_EXE windows PTK_SIM_EXE
#       the Windows ptk-sim, under Wine too, serves COM8, and socat joins COM7 and COM8 as a
#       null-modem cable would; this covers the simulator's Win32 line driver.
#
# Uses the private prefix of tests/wine/wine_env.sh, which must exist already.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
check_exe="$(realpath "$1")"
kind="$2"
sim_program="$(realpath "$3")"
link_password=7301
computer_port=7
register_port=8

# shellcheck source=wine_env.sh
source "$root/tests/wine/wine_env.sh"

work="$root/build/wine-link-$kind"
rm -rf "$work"
mkdir -p "$work"
mapped_ports=()

cleanup() {
  set +e
  for number in "${mapped_ports[@]}"; do
    timeout -k 5 30 "$WINE" reg delete 'HKLM\Software\Wine\Ports' /v "COM$number" /f >/dev/null 2>&1
    rm -f "$WINEPREFIX/dosdevices/com$number"
  done
  wine_stop_all
}
trap cleanup EXIT

# wait_for_link PATH PID LOG: waits up to 10 s for the symbolic link PATH that the program PID
# makes, and fails with its log when it ends or takes too long.
wait_for_link() {
  for _ in $(seq 100); do
    [ -L "$1" ] && return 0
    if ! kill -0 "$2" 2>/dev/null; then
      echo "$(basename "$3" .log) ended before it made $1:" >&2
      cat "$3" >&2
      exit 1
    fi
    sleep 0.1
  done
  echo "no $1 within 10 s" >&2
  exit 1
}

# map_port NUMBER PTY: COMn for Windows programs, in dosdevices and in the registry.
map_port() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
  mapped_ports+=("$1")
  wine_run 60 reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /d "$2" /f >/dev/null
}

wine_stop
case "$kind" in
  linux)
    (cd "$work" && exec "$sim_program" --link "COM$computer_port" >"$work/ptk-sim.log" 2>&1) &
    background_pids+=($!)
    wait_for_link "$work/COM$computer_port" "$!" "$work/ptk-sim.log"
    pty="$(readlink -f "$work/COM$computer_port")"
    echo "Linux ptk-sim serves $pty"
    map_port "$computer_port" "$pty"
    ;;
  windows)
    if ! command -v socat >/dev/null; then
      echo "socat is needed to join two ports (Debian package socat)" >&2
      exit 1
    fi
    socat "pty,raw,echo=0,link=$work/computer" "pty,raw,echo=0,link=$work/register" \
      >"$work/socat.log" 2>&1 &
    background_pids+=($!)
    wait_for_link "$work/computer" "$!" "$work/socat.log"
    wait_for_link "$work/register" "$!" "$work/socat.log"
    map_port "$computer_port" "$(readlink -f "$work/computer")"
    map_port "$register_port" "$(readlink -f "$work/register")"
    ;;
  *)
    echo "usage: run_link_check.sh CHECK_EXE linux|windows SIM" >&2
    exit 2
    ;;
esac
# The device map in the registry is rebuilt from the Ports key when the server starts again.
wine_stop
echo "registry port list:"
wine_run 60 reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' | tr -d '\r' | sed -n 's/^ \+/  /p'

if [ "$kind" = windows ]; then
  timeout -k 5 300 "$WINE" "$sim_program" --link "COM$register_port" >"$work/ptk-sim.log" 2>&1 &
  background_pids+=($!)
  for _ in $(seq 100); do
    grep -q serving "$work/ptk-sim.log" 2>/dev/null && break
    if ! kill -0 "$!" 2>/dev/null; then
      echo "the Windows ptk-sim ended before it served COM$register_port:" >&2
      cat "$work/ptk-sim.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  if ! grep -q serving "$work/ptk-sim.log"; then
    echo "the Windows ptk-sim did not serve COM$register_port within 10 s" >&2
    exit 1
  fi
  tr -d '\r' <"$work/ptk-sim.log"
fi

# Baud index 4: 115200, the default of the settings.
status=0
wine_run 120 "$check_exe" "COM$computer_port" 4 "$link_password" | tr -d '\r' || status=$?
if [ "$status" -ne 0 ]; then
  echo "wine_link_check failed (exit $status); ptk-sim said:" >&2
  tr -d '\r' <"$work/ptk-sim.log" >&2
fi
exit "$status"
