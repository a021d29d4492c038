#!/usr/bin/env bash
# Builds the fuzzers of the texture loaders and of the recording reader with clang, ASan and
# UBSan, and runs the three at once for SECONDS (default 30), the loaders under Xvfb. Any crash,
# leak or sanitizer report fails the run.
#   scripts/fuzz.sh 3600     # an hour each
#   scripts/fuzz.sh --build  # builds them only
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="$root/build-fuzz"
"$root/scripts/install-deps.sh"
. "$root/scripts/ccache-env.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRAZEWELL_FUZZ=ON -DGRAZEWELL_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" \
  --target fuzz_tga fuzz_raw fuzz_demo make_seeds make_demo_seeds texgen >/dev/null
if [ "$seconds" = "--build" ]; then exit 0; fi

corpus="$build/corpus"
mkdir -p "$corpus/tga" "$corpus/raw" "$corpus/demo" "$build/seeds/tga" "$build/seeds/raw" \
  "$build/seeds/demo"
"$build/fuzz/make_seeds" "$build/seeds/tga" "$build/seeds/raw"
# A short recording written by the game's own writer, whole and cut mid-frame.
"$build/fuzz/make_demo_seeds" "$build/seeds/demo"
# The game's own pictures, painted small enough to mutate quickly.
"$build/tools/texgen/texgen" --thumbnails 16 "$build/seeds/tga" >/dev/null
rm -f "$build/seeds/tga/grass.raw"

export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
run() {
  local target="$1" dict="$2" seeds="$3" out="$4" display="${5:-}"
  local log="$build/$target.log"
  local status=0
  local launch=()
  if [ -n "$display" ]; then launch=(xvfb-run -a -s "-screen 0 640x480x24"); fi
  "${launch[@]}" "$build/fuzz/$target" $dict \
    -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$out" "$seeds" >"$log" 2>&1 || status=$?
  echo "== $target: $seconds s"
  grep -E "^(Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb)" "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E -A20 "==ERROR|runtime error|Test unit written" "$log" | head -40 >&2
    echo "$target failed (status $status); log: $log" >&2
    return 1
  fi
}
rm -f "$build"/fuzz_tga-* "$build"/fuzz_raw-* "$build"/fuzz_demo-*
# Side by side, each fuzzer in one process. The recording reader draws nothing and is quick: it
# shares the two processors with the loaders rather than adding its own half minute to the run.
run fuzz_tga "-dict=$root/fuzz/tga.dict" "$build/seeds/tga" "$corpus/tga" display &
tga=$!
run fuzz_demo "-dict=$root/fuzz/demo.dict" "$build/seeds/demo" "$corpus/demo" &
demo=$!
sleep 2 # so that the two xvfb-run -a do not pick the same free display
raw_status=0
run fuzz_raw "" "$build/seeds/raw" "$corpus/raw" display || raw_status=$?
tga_status=0
wait "$tga" || tga_status=$?
demo_status=0
wait "$demo" || demo_status=$?
if [ "$tga_status" -ne 0 ] || [ "$raw_status" -ne 0 ] || [ "$demo_status" -ne 0 ]; then exit 1; fi
echo "fuzz: no crashes"
