#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless under Xvfb with Mesa's
# llvmpipe: the test suite (each test in its own process, and the in-process tests once more all
# in one process, shuffled), the unit, GL and recording tests under the sanitizers, the monkey's
# random games, a short fuzzing run, the Linux packages checked, the Windows build's tests under
# Wine, and two builds compared byte for byte. What does not depend on time is built and run at
# the lowest priority beside the suite (see alongside below).
#   scripts/test.sh            everything
#   scripts/test.sh --quick    the unit and GL tests only, for development (under a minute)
# No test is run twice: one that fails now and then shows. GRAZEWELL_TEST_SEED=N orders the
# shuffled runs as the run that printed N did.
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
# builds, and the packages with their second build. Each build done is marked in build/alongside/,
# where the steps after the suite wait for theirs; its output is shown at the end.
marks="$root/build/alongside"
alongside() {
  trap '[ $? = 0 ] || touch "$marks/failed"' EXIT
  # The Windows build's packages come while the Linux build compiles. The install is a session of
  # its own: a failing suite ends all that runs here but lets it finish, so as not to leave the
  # machine's packages half installed.
  phase "The Windows build's packages (the cross-compilers, Wine, NSIS), if missing"
  setsid -w "$root/scripts/install-deps.sh" --windows
  phase "Unit, GL and recording tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
  "$root/scripts/sanitize.sh"
  phase "The monkey's and the fuzzers' builds"
  "$root/scripts/monkey.sh" --build
  "$root/scripts/fuzz.sh" --build
  touch "$marks/monkey-and-fuzzers"
  phase "The Windows build: the game, its downloads and its tests"
  "$root/scripts/test-windows.sh" --build
  touch "$marks/windows"
  phase "The packages (lintian, rpmlint) and two builds of each download compared"
  "$root/scripts/reproducible.sh" --windows-made
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
"$root/scripts/install-deps.sh"

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
  "$root/scripts/build.sh"
  echo "== Unit and GL tests (the end-to-end tests left out); shuffled with seed $GTEST_RANDOM_SEED"
  suite -L unit "$@"
  exit 0
fi

mkdir -p "$root/build"
log="$root/build/alongside.log"
rm -rf "$marks"
mkdir -p "$marks"
# A process group of its own, so that a failing build or suite ends it and all it started.
set -m
nice -n 19 "$0" --alongside >"$log" 2>&1 &
behind=$!
set +m
trap 'kill -- -"$behind" 2>/dev/null || true' EXIT

phase "The Linux build"
"$root/scripts/build.sh"
# Shows what ran alongside and fails when it did.
behind_failed() {
  cat "$log"
  echo "failed alongside the suite; its output is above and in $log" >&2
  exit 1
}
# Waits until what runs alongside has built what the next step needs; fails when it failed, or
# ended without a word (killed).
await() {
  while [ ! -e "$marks/$1" ]; do
    [ ! -e "$marks/failed" ] || behind_failed
    grep -q '^State:[[:space:]]*[^Z]' "/proc/$behind/status" 2>/dev/null || behind_failed
    sleep 1
  done
}

phase "Test suite; the in-process tests also in one process, shuffled with seed $GTEST_RANDOM_SEED"
suite

await monkey-and-fuzzers
phase "The monkey: random games, the world's rules checked every frame, under the sanitizers"
"$root/scripts/monkey.sh" "${GRAZEWELL_MONKEY_SECONDS:-30}"

phase "Fuzzing the texture loaders and the recording reader"
"$root/scripts/fuzz.sh" "${GRAZEWELL_FUZZ_SECONDS:-30}"

await windows
phase "The Windows build under Wine"
"$root/scripts/test-windows.sh" --test

phase "What ran alongside the suite (its times from the start of the command)"
wait "$behind" || behind_failed
trap - EXIT
cat "$log"
phase "All passed"
