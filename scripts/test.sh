#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless under Xvfb with Mesa's
# llvmpipe: the test suite (each test in its own process, and the in-process tests once more all
# in one process, shuffled), the unit, GL and recording tests under the sanitizers, the monkey's
# random games, a short fuzzing run, the Linux packages checked, the Windows build's tests under
# Wine, and two builds compared byte for byte.
#   scripts/test.sh            everything
#   scripts/test.sh --quick    the unit and GL tests only, for development (under a minute)
# No test is run twice: one that fails now and then shows. GRAZEWELL_TEST_SEED=N orders the
# shuffled run as the run that printed N did.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi
if [ "$quick" = 1 ]; then
  "$root/scripts/install-deps.sh"
else
  # One install for all of it, the Windows cross-compilers and Wine among it.
  "$root/scripts/install-deps.sh" --windows
fi
"$root/scripts/build.sh"

jobs="$(nproc)"
# The in-process tests' order in their one-process run: printed, so that a failure that depends on
# it can be had again.
export GTEST_RANDOM_SEED="${GRAZEWELL_TEST_SEED:-$((RANDOM % 99999 + 1))}"
# Each part's heading says how long the run has taken so far.
phase() { printf '== %s (at %d min %02d s)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }
# The test display's server is told not to reset when its last client goes (-noreset): each test
# is a client of its own, and one that connects while the server resets between two tests fails
# with "failed to open display".
suite() {
  (cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --output-on-failure -j "$jobs" "$@")
}
if [ "$quick" = 1 ]; then
  echo "== Unit and GL tests (the end-to-end tests left out); shuffled with seed $GTEST_RANDOM_SEED"
  suite -L unit "$@"
  exit 0
fi

phase "Test suite; the in-process tests also in one process, shuffled with seed $GTEST_RANDOM_SEED"
suite

phase "Unit, GL and recording tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
"$root/scripts/sanitize.sh"

phase "The monkey: random games, the world's rules checked every frame, under the sanitizers"
"$root/scripts/monkey.sh" "${GRAZEWELL_MONKEY_SECONDS:-30}"

phase "Fuzzing the texture loaders and the recording reader"
"$root/scripts/fuzz.sh" "${GRAZEWELL_FUZZ_SECONDS:-30}"

phase "The Windows build under Wine"
"$root/scripts/test-windows.sh"

phase "The packages (lintian, rpmlint) and two builds of each download compared"
"$root/scripts/reproducible.sh" --windows
phase "All passed"
