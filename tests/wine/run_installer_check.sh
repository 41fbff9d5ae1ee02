#!/usr/bin/env bash
# The Windows installer end to end in a fresh Wine prefix: silent install, the installed folder
# against FOLDER (what `cmake --install` made), the program started as its shortcut starts it, on
# Xvfb with the windows platform, against the Linux ptk-sim on COM5; the state report opened from
# the menu with xdotool and its text read back through the clipboard; exit status 0; the
# installed ptk-cli's state as JSON from the same settings; silent uninstall that keeps the
# settings files. SCREENSHOT_DIR receives two pictures of the windows.
#
#   tests/wine/run_installer_check.sh INSTALLER FOLDER PTK_SIM [SCREENSHOT_DIR]
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
installer="$(realpath "$1")"
folder="$(realpath "$2")"
sim_program="$(realpath "$3")"
screenshots="${4:-}"

# shellcheck source=wine_env.sh
source "$root/tests/wine/wine_env.sh"
export WINEPREFIX="$root/build/wineprefix-installer"
unset WINEPATH
work="$root/build/wine-installer"
drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/ptk-inspector"
settings="$drive/ProgramData/ptk-inspector"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Программа налогового инспектора"
shortcut="$menu/Программа налогового инспектора.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ptk-inspector'

trap wine_stop_all EXIT
fail() {
  echo "installer check: $*" >&2
  for log in "$work"/*.log; do
    [ ! -f "$log" ] || { echo "--- $log" && tr -d '\r' <"$log" | tail -n 30; } >&2
  done
  exit 1
}
wait_until() {  # wait_until SECONDS WHAT COMMAND...: polls COMMAND twice a second
  local seconds="$1" what="$2"
  shift 2
  for _ in $(seq $((seconds * 2))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  fail "no $what within $seconds s"
}

wine_stop
rm -rf "$work" "$WINEPREFIX"
mkdir -p "$work"
wine_prepare_prefix

echo "installer: silent install"
wine_run 600 "$installer" /S
diff <(cd "$folder" && find . -type f | sort) \
  <(cd "$installed" && find . -type f ! -name Uninstall.exe | sort) ||
  fail "the installed folder differs from the built one"
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
[ -d "$settings" ] || fail "no working folder $settings"
[[ "$(x86_64-w64-mingw32-objdump -p "$installed/ptk-inspector.exe")" == *"(Windows GUI)"* ]] ||
  fail "ptk-inspector.exe is no Windows GUI program"
version="$(basename "$installer" -win64.exe)"
version="${version%-*} ${version##*-}"
[ "$(wine_run 120 "$installed/ptk-inspector.exe" --version | tr -d '\r')" = "$version" ] ||
  fail "--version did not print $version"

echo "installer: the installed program from its shortcut, against ptk-sim on COM5"
settings_files=(num_port.ini:COM5 baude_fr.ini:CBR_115200 pass_fr.ini:7301)
for file in "${settings_files[@]}"; do echo "${file#*:}" >"$settings/${file%%:*}"; done
(cd "$work" && exec "$sim_program" --link COM5 --fiscalised --shift-open --serial 4567 \
  >"$work/ptk-sim.log" 2>&1) &
background_pids+=($!)
wait_until 20 "ptk-sim link" test -L "$work/COM5"
ln -sfn "$(readlink -f "$work/COM5")" "$WINEPREFIX/dosdevices/com5"

echo "installer: the installed ptk-cli, a console program, with the same settings files"
[[ "$(x86_64-w64-mingw32-objdump -p "$installed/ptk-cli.exe")" == *"(Windows CUI)"* ]] ||
  fail "ptk-cli.exe is no console program"
state="$(cd "$settings" && wine_run 120 "$installed/ptk-cli.exe" --json state 2>"$work/ptk-cli.log")" ||
  fail "ptk-cli --json state ended with status $?"
[[ "$state" == *'"serialNumber":"00004567"'* ]] || fail "ptk-cli --json state printed: $state"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
background_pids+=($!)
wait_until 30 "X display" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
# The prefix's desktop took its display driver when the headless steps above started it: none.
# Windows made in it would go nowhere, so the server ends, and the program starts a desktop that
# finds the display.
wine_stop
xdo() { timeout -k 5 60 xdotool "$@"; }

# The program where its shortcut starts it, whose folder holds the settings (COM5). Wine's
# 'start' does not wait for a shortcut's program: the shortcut is read to have the exit status.
exe='C:\Program Files\ptk-inspector\ptk-inspector.exe'
link_strings="$(strings -a "$shortcut"; strings -a -el "$shortcut")"
grep -Fxq "$exe" <<<"$link_strings" || fail "the shortcut does not start $exe"
grep -Fxq 'C:\ProgramData\ptk-inspector' <<<"$link_strings" || fail "the shortcut starts elsewhere"
(cd "$settings" && exec timeout -k 10 600 "$WINE" "$exe" >"$work/inspector.log" 2>&1) &
inspector=$!
background_pids+=("$inspector")
wait_until 180 "connect sequence (short status in ptk-sim's log)" grep -q 'short status' "$work/ptk-sim.log"
main="$(xdo search --sync --onlyvisible --name '^Программа налогового инспектора$' | head -n 1)"
[ -n "$main" ] || fail "no main window"
picture() {  # picture NAME: the main window's part of the screen, when pictures are asked for
  [ -n "$screenshots" ] || return 0
  eval "$(xdo getwindowgeometry --shell "$main")"
  import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$screenshots/$1.png"
}

# "Конфигуратор" is the first menu; its third item is "Запрос состояния ПТК".
sleep 3
xdo mousemove --window "$main" 30 8 click 1 sleep 3
picture wine-main-window
xdo key --delay 300 Down Down Down Return
report="$(xdo search --sync --onlyvisible --name '^Состояние ПТК$' | head -n 1)"
[ -n "$report" ] || fail "no state report window"
grep -q '0x3F state' "$work/ptk-sim.log" || fail "ptk-sim logged no state request"
sleep 3
picture wine-state-report

# The report's text, read back from the window through Wine's clipboard.
xdo mousemove --window "$report" 200 150 click 1 sleep 1 key --delay 300 ctrl+a ctrl+c sleep 2
timeout -k 5 30 xclip -o -selection clipboard >"$work/report.txt" || fail "nothing on the clipboard"
for line in "ПТК фискализирован" "Смена открыта" "Завод. номер ПТК: 00004567"; do
  grep -q "$line" "$work/report.txt" || fail "the report lacks '$line': $(cat "$work/report.txt")"
done

# Its close button, then the main window's Alt+F4, as an inspector leaves.
xdo mousemove --window "$report" 384 24 click 1 sleep 2
kill -0 "$inspector" 2>/dev/null || fail "the program ended before it was closed"
xdo windowfocus --sync "$main" key alt+F4
wait "$inspector" || fail "the program ended with status $?"

echo "installer: silent uninstall"
wine_run 600 "$installed/Uninstall.exe" /S
# The uninstaller runs on from a copy of itself; the server ends when that copy does.
timeout -k 5 300 "$WINESERVER" -w
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$menu" ] || fail "the Start-menu folder is still there"
for file in "${settings_files[@]}"; do
  [ -f "$settings/${file%%:*}" ] || fail "the uninstaller removed ${file%%:*}"
done
if wine_run 60 reg query "$uninstall_key" >/dev/null 2>&1; then fail "$uninstall_key is left"; fi
echo "installer: installed, ran against ptk-sim and uninstalled"
