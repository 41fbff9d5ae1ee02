#!/usr/bin/env bash
# Runs ptk-inspector against the simulated register: installs what is missing, builds the debug
# configuration, starts ptk-sim as COM9 in demo/ and the program there, and stops the simulator
# when the program ends. Arguments go to ptk-sim, for example a register left in the
# registration mode:  scripts/run-demo.sh --mode 0x01   (ptk-sim --help lists them all).
set -euo pipefail
cd "$(dirname "$0")/.."

# Installed first, so that the virtual display suggested below is there to use.
scripts/install-deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'TEXT'
run-demo: there is no display to show the program on. Run it
  under a virtual display:           xvfb-run -a scripts/run-demo.sh
  or without any window at all:      QT_QPA_PLATFORM=offscreen scripts/run-demo.sh
  (the program then starts and connects; end it with Ctrl+C).
TEXT
  exit 2
fi

cmake --preset debug >/dev/null
cmake --build --preset debug --target ptk-inspector ptk-sim

build=$PWD/build/debug
mkdir -p demo
cd demo

# Every demo starts from settings that reach the simulator.
printf 'COM9\n' >num_port.ini
printf 'CBR_115200\n' >baude_fr.ini
printf '7301\n' >pass_fr.ini

"$build/src/sim/ptk-sim" --link COM9 "$@" >ptk-sim.log 2>&1 &
sim=$!
stop_sim() {
  if kill -0 "$sim" 2>/dev/null; then
    kill "$sim"
    wait "$sim" 2>/dev/null || true
  fi
}
trap stop_sim EXIT

for _ in $(seq 100); do
  [ -L COM9 ] && break
  if ! kill -0 "$sim" 2>/dev/null; then
    echo "run-demo: ptk-sim did not start:" >&2
    cat ptk-sim.log >&2
    exit 1
  fi
  sleep 0.05
done

echo "run-demo: ptk-sim serves COM9 in $PWD (its log: demo/ptk-sim.log)"
"$build/src/app/ptk-inspector"
