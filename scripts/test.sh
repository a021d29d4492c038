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
# Each part's heading says how long the command has taken so far.
export GRAZEWELL_TEST_START="${GRAZEWELL_TEST_START:-$(date +%s)}"
phase() {
  local taken=$(($(date +%s) - GRAZEWELL_TEST_START))
  printf '== %s (at %d min %02d s)\n' "$1" $((taken / 60)) $((taken % 60))
}
# While the end-to-end tests play in real time they keep about one of the two processors busy.
# The other builds and runs, at the lowest priority so that the game's frames come first, what does
# not depend on time: the sanitizers' build and tests, the monkey's, the fuzzers' and the Windows
# builds, and the packages with their second build. Its output is shown when the suite is done.
alongside() {
  phase "Unit, GL and recording tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
  "$root/scripts/sanitize.sh"
  phase "The monkey's and the fuzzers' builds"
  "$root/scripts/monkey.sh" --build
  "$root/scripts/fuzz.sh" --build
  phase "The Windows build: the game, its downloads and its tests"
  "$root/scripts/test-windows.sh" --build
  phase "The packages (lintian, rpmlint) and two builds of each download compared"
  "$root/scripts/reproducible.sh" --windows
  phase "Done alongside the suite"
}
if [ "${1:-}" = "--alongside" ]; then
  alongside
  exit 0
fi

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

log="$root/build/alongside.log"
# A process group of its own, so that a failing suite ends it and all it started.
set -m
nice -n 19 "$0" --alongside >"$log" 2>&1 &
behind=$!
set +m
trap 'kill -- -"$behind" 2>/dev/null || true' EXIT

phase "Test suite; the in-process tests also in one process, shuffled with seed $GTEST_RANDOM_SEED"
suite

phase "What ran alongside the suite (its times from the start of the command)"
status=0
wait "$behind" || status=$?
trap - EXIT
cat "$log"
if [ "$status" -ne 0 ]; then
  echo "failed alongside the suite (status $status); its output is above and in $log" >&2
  exit 1
fi

phase "The monkey: random games, the world's rules checked every frame, under the sanitizers"
"$root/scripts/monkey.sh" "${GRAZEWELL_MONKEY_SECONDS:-30}"

phase "Fuzzing the texture loaders and the recording reader"
"$root/scripts/fuzz.sh" "${GRAZEWELL_FUZZ_SECONDS:-30}"

phase "The Windows build under Wine"
"$root/scripts/test-windows.sh" --test
phase "All passed"
