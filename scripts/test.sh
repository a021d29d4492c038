#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless under Xvfb with Mesa's
# llvmpipe: the test suite, the same suite under the sanitizers, the monkey's random games, a short
# fuzzing run, and the Windows build's tests under Wine.
#   scripts/test.sh            everything
#   scripts/test.sh --quick    the unit and GL tests only, for development (under a minute)
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
# Each part's heading says how long the run has taken so far.
phase() { printf '== %s (at %d min %02d s)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }
if [ "$quick" = 1 ]; then
  echo "== Unit and GL tests (the end-to-end tests left out)"
  (cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -j "$jobs" --repeat until-pass:2 -L unit "$@")
  exit 0
fi

phase "Test suite"
(cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j "$jobs" --repeat until-pass:2)

phase "Test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
"$root/scripts/sanitize.sh"

phase "The monkey: random games, the world's rules checked every frame, under the sanitizers"
"$root/scripts/monkey.sh" "${GRAZEWELL_MONKEY_SECONDS:-30}"

phase "Fuzzing the texture loaders and the recording reader"
"$root/scripts/fuzz.sh" "${GRAZEWELL_FUZZ_SECONDS:-30}"

phase "The Windows build under Wine"
"$root/scripts/test-windows.sh"
phase "All passed"
