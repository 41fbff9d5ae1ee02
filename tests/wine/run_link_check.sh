#!/usr/bin/env bash
# The end-to-end check of the Windows build: the Linux ptk-sim serves a register on a
# pseudo-terminal, Wine maps COMn to it (dosdevices and HKLM\Software\Wine\Ports, so that the
# port is also in the registry list), and the cross-built wine_link_check talks to it through
# the Win32 serial backend.
#
#   tests/wine/run_link_check.sh CHECK_EXE PTK_SIM [PORT_NUMBER]
#
# Uses the private prefix of tests/wine/wine_env.sh, which must exist already.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
check_exe="$(realpath "$1")"
ptk_sim="$(realpath "$2")"
port_number="${3:-7}"
port="COM${port_number}"
link_password=7301

# shellcheck source=wine_env.sh
source "$root/tests/wine/wine_env.sh"

work="$root/build/wine-link"
rm -rf "$work"
mkdir -p "$work"
dosdevice="$WINEPREFIX/dosdevices/com${port_number}"
sim_pid=""

cleanup() {
  set +e
  timeout -k 5 30 "$WINE" reg delete 'HKLM\Software\Wine\Ports' /v "$port" /f >/dev/null 2>&1
  rm -f "$dosdevice"
  wine_stop
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

# The simulated register, with the link to its pseudo-terminal in the work folder.
(cd "$work" && exec "$ptk_sim" --link "$port" >"$work/ptk-sim.log" 2>&1) &
sim_pid=$!
for _ in $(seq 100); do
  [ -L "$work/$port" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "ptk-sim ended before it served the line:" >&2
    cat "$work/ptk-sim.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -L "$work/$port" ]; then
  echo "ptk-sim made no link $work/$port within 10 s" >&2
  exit 1
fi
pty="$(readlink -f "$work/$port")"
echo "ptk-sim (pid $sim_pid) serves $pty"

# Wine opens COMn through its dosdevices link; the device map in the registry is rebuilt from
# the Ports key when the server starts again.
wine_stop
ln -sfn "$pty" "$dosdevice"
wine_run 60 reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$pty" /f >/dev/null
wine_stop
echo "registry port list:"
wine_run 60 reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' | tr -d '\r' | sed -n 's/^ \+/  /p'

# Baud index 4: 115200, the default of the settings.
status=0
wine_run 120 "$check_exe" "$port" 4 "$link_password" | tr -d '\r' || status=$?
if [ "$status" -ne 0 ]; then
  echo "wine_link_check failed (exit $status); ptk-sim said:" >&2
  cat "$work/ptk-sim.log" >&2
fi
exit "$status"
