#!/usr/bin/env bash
# Runs one fuzz target for a while, from its seeds: scripts/fuzz.sh TARGET SECONDS. Builds the
# fuzz preset (clang, AddressSanitizer and UndefinedBehaviorSanitizer) first. The seeds in
# tests/fuzz/corpus/TARGET are only read; what the run finds goes to build/fuzz/corpus/TARGET,
# an input that breaks a property to build/fuzz/TARGET-crash-*, and the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: scripts/fuzz.sh TARGET SECONDS (targets: $(ls tests/fuzz/corpus | tr '\n' ' '))"
target=${1:?$usage}
seconds=${2:?$usage}
[ -d "tests/fuzz/corpus/$target" ] || { echo "$usage" >&2; exit 2; }

# PTK_FUZZ_BUILT=1: the caller has built the targets already.
if [ -z "${PTK_FUZZ_BUILT:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
  [ -f build/fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz --target "$target" >/dev/null
fi

found="build/fuzz/corpus/$target"
mkdir -p "$found"
build/fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
  -artifact_prefix="build/fuzz/$target-" "$found" "tests/fuzz/corpus/$target"
