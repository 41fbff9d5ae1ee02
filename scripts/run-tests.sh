#!/usr/bin/env bash
# Checks the formatting and the layering of the includes, builds ptk-inspector in the normal and
# in the sanitizer configuration, runs every test in both, the tests that start threads under
# ThreadSanitizer, builds the release configuration and its Debian package and checks the
# installed programs, then runs the Windows build's tests under Wine. Run from anywhere; installs
# what is missing.
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
