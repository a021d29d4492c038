#!/usr/bin/env bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer and runs
# the unit, GL and recorded-game tests headless. Any report fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
"$root/scripts/install-deps.sh"
. "$root/scripts/ccache-env.sh"
# -O1 and line tables only: all the sanitizers' stack traces need, in less build time than -O2 with
# full debug information.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DGRAZEWELL_SANITIZE=ON "${launcher[@]}" >/dev/null
# The tests and what they start; the benchmark is not run here.
cmake --build "$build" -j "$(nproc)" --target grazewell_tests >/dev/null
cd "$build"
export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
# What the sanitizers can see: the unit, GL and recorded-game tests, which run the game's code in
# the test's own process (the monkey, scripts/monkey.sh, plays random games the same way). The
# end-to-end tests are left to the normal run: they play a separate game in real time, spend it
# waiting, and their key and window paths are run here by the in-process tests. All of them in one
# process, in a shuffled order (GTEST_RANDOM_SEED's, when set): one start instead of hundreds, and
# one leak check at its end. LeakSanitizer's check now and then dies of a signal while the GL
# driver's threads come and go at a process's exit; once is seldom.
# Its display is looked for from :150 up: scripts/test.sh runs this beside the suite, whose display
# is looked for from :99, and two looking at once could take the same.
xvfb-run -a -n 150 -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure \
  -R '^InOneProcess\.' "$@"
