#!/usr/bin/env bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer and runs
# the whole test suite, end-to-end tests included, headless. Any report fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
"$root/scripts/install-deps.sh"
# -O1 and line tables only: all the sanitizers' stack traces need, in less build time than -O2 with
# full debug information.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DGRAZEWELL_SANITIZE=ON >/dev/null
# The tests and what they start; the benchmark is not run here.
cmake --build "$build" -j "$(nproc)" --target grazewell_tests >/dev/null
cd "$build"
export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
# The soak runs shorter here: the sanitizers make every frame several times slower, and the
# normal run has the long one; this one looks for memory errors under the same storm.
export GRAZEWELL_SOAK_FRAMES="${GRAZEWELL_SOAK_FRAMES:-2000}"
# AddressSanitizer keeps freed memory in quarantine, so resident memory is no measure of leaks
# here; LeakSanitizer checks every process at exit instead.
export GRAZEWELL_SOAK_RSS_GROWTH_KB=-1
# Not again here: the click test, which measures nothing but resident memory; the game played to
# a win, whose picking, throwing and feeding the in-process tests run under the sanitizers (the
# soak plays the same paths end to end); and the tests of timing and the window manager (taps at
# ten frames a second, a minimised game, focus lost), whose key and window paths the in-process
# tests run here and which spend their time waiting, not computing; nor the sound heard through
# the wave writer, which waits in real time for what the synth tests and the soak (with OpenAL's
# null device mixing) run here, nor the pace measured, a timing test too.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 \
  -E '^(ClickMemory\.|MakeRecording\.|KeyTaps\.|WindowManager\.|SoundEndToEnd\.)|Sixty|FpsThirty' "$@"
