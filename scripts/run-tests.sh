#!/usr/bin/env bash
# Checks the formatting and the layering of the includes, builds ptk-inspector in the normal and
# in the sanitizer configuration, runs every test in both, each fuzz target briefly, the tests
# that start threads under ThreadSanitizer, builds the release configuration and its Debian
# package and checks the installed programs, then runs the Windows build's tests under Wine. Run
# from anywhere; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "=== formatting"
scripts/check-format.sh

echo "=== layering: no subsystem includes another, arrows only run down"
scripts/check-includes.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

for preset in debug asan; do
  echo "=== ${preset}: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== ${preset}: test"
  ctest --preset "$preset" -j "$jobs"
done

# Every fuzz target for a few seconds from its seeds, about half a minute in all: a property
# broken on the way fails the run (scripts/fuzz.sh runs one for longer).
echo "=== fuzz: build the targets, then each briefly"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for corpus in tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  if ! PTK_FUZZ_BUILT=1 scripts/fuzz.sh "$target" 3 >"build/fuzz-$target.log" 2>&1; then
    cat "build/fuzz-$target.log"
    echo "fuzz: $target broke a property (input in build/fuzz/)" >&2
    exit 1
  fi
  echo "$target: $(grep -E '^Done [0-9]+ runs' "build/fuzz-$target.log")"
done

# The tests that start threads, once more under ThreadSanitizer; the preset builds only them.
echo "=== tsan: configure, build and run the tests that start threads"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

echo "=== release: the Debian package, installed and run"
scripts/package-check.sh

if [ -x scripts/wine-tests.sh ]; then
  echo "=== windows build under wine"
  scripts/wine-tests.sh
fi
