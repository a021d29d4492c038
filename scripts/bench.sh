#!/usr/bin/env bash
# Builds the game and prints the frame-rate table under Xvfb with Mesa's llvmpipe.
#   scripts/bench.sh [rounds] [seconds per measurement]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
cd "$root/build"
LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1200x24" ./bench/grazewell_bench "$@"
