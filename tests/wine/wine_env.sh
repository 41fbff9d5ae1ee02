# Sourced by the Wine scripts: a private, headless Wine prefix and helpers that never wait
# longer than they are told to.
#
# Needs: root (the checkout root) set by the caller.

# The same prefix as the mingw test preset.
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts when the prefix is made, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Console programs only: no display is used, and none must be found.
unset DISPLAY WAYLAND_DISPLAY
# The programs of the build tree find the MinGW C++ runtime's DLLs through WINEPATH; the
# installed program carries its own, and its check unsets this.
WINEPATH=""
for dll in libstdc++-6.dll libwinpthread-1.dll; do
  WINEPATH+="Z:$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")")");"
done
export WINEPATH

# Debian's wine64 package alone has the loader and the server under /usr/lib/wine; the wine
# package adds the usual wrappers on the PATH.
WINE="$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)"
WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"
if [ ! -x "$WINE" ] || [ ! -x "$WINESERVER" ]; then
  echo "wine: not installed (Debian packages wine and wine64)" >&2
  exit 1
fi

# wine_run SECONDS ARGS...: runs a Windows program, killed after SECONDS.
wine_run() {
  local seconds="$1"
  shift
  timeout -k 5 "$seconds" "$WINE" "$@"
}

# Ends the prefix's server and every Windows process in it, and waits until it is gone.
wine_stop() {
  timeout -k 5 30 "$WINESERVER" -k >/dev/null 2>&1 || true
  timeout -k 5 30 "$WINESERVER" -w >/dev/null 2>&1 || true
}

# The Linux processes a script starts beside Wine (ptk-sim, socat, Xvfb), ended with the Wine
# server by wine_stop_all when the script ends.
background_pids=()
wine_stop_all() {
  local pid
  wine_stop
  for pid in "${background_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}

# Makes the prefix when it is missing or was left half made. Prints how long that took. A first
# wineboot that fails is reported and tried once more on a clean folder.
wine_prepare_prefix() {
  local ready="$WINEPREFIX/.ptk-prefix-ready"
  if [ -f "$ready" ]; then
    echo "wine prefix: $WINEPREFIX (exists)"
    return 0
  fi
  local log="$root/build/wineboot.log"
  local start end status attempt
  mkdir -p "$(dirname "$WINEPREFIX")"
  start=$(date +%s%N)
  for attempt in 1 2; do
    wine_stop
    rm -rf "$WINEPREFIX"
    status=0
    # wineboot reports harmless trouble (no 32-bit part, no display) on standard error.
    wine_run 300 wineboot --init >"$log" 2>&1 || status=$?
    wine_stop
    [ "$status" -eq 0 ] && break
    echo "wine prefix: wineboot failed (attempt $attempt, exit $status):" >&2
    cat "$log" >&2
  done
  [ "$status" -eq 0 ] || return 1
  # The window tests' bench works on COM9 over an in-memory line; on Linux a ./COM9 link puts
  # the port into the settings window's list, here the system's list must name it.
  wine_run 60 reg add 'HKLM\Software\Wine\Ports' /v COM9 /d /dev/null /f >/dev/null
  wine_stop
  end=$(date +%s%N)
  touch "$ready"
  echo "wine prefix: created $WINEPREFIX in $(((end - start) / 1000000)) ms"
}
