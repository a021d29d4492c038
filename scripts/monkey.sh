#!/usr/bin/env bash
# Plays random games for SECONDS (default 30) under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer, headless: random seeds, windows, keys, clicks anywhere, reshapes and the
# keyboard lost, each game played in process through the same path as a replay, the world's
# rules checked after every frame. A game that breaks one, or dies, is kept as a recording in
# build-asan/monkey-games/ and the command that replays it is printed; the run then fails.
#   scripts/monkey.sh 1800                # half an hour
#   scripts/monkey.sh 60 --seed 12345     # the same games again
#   scripts/monkey.sh --build             # builds it only
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
shift || true
build="$root/build-asan"
"$root/scripts/install-deps.sh"
. "$root/scripts/ccache-env.sh"
# The sanitizer suite's build (scripts/sanitize.sh), configured alike so that each reuses the other's.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DGRAZEWELL_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target monkey grazewell textures >/dev/null
if [ "$seconds" = "--build" ]; then exit 0; fi
cd "$build"
export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" tools/monkey "$seconds" "$@"
