#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless under Xvfb with Mesa's
# llvmpipe: the test suite, the same suite under the sanitizers, and a short fuzzing run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

echo "== Test suite"
(cd "$root/build" && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2)

echo "== Test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
"$root/scripts/sanitize.sh"

echo "== Fuzzing the texture loaders"
"$root/scripts/fuzz.sh" "${GRAZEWELL_FUZZ_SECONDS:-30}"
