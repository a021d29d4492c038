#!/usr/bin/env bash
# Records the games the suite plays back (tests/data/win.gzd, loss.gzd, window.gzd) from the
# real game, played with xdotool under Xvfb with a fixed seed, and puts them in tests/data.
# Run it again whenever a change to the game's logic makes the recorded games desync (the
# Recordings.* tests then name the frame). Takes a few minutes.
#   scripts/make-recordings.sh [win|loss|window ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(win loss window)
filter=""
for name in "${names[@]}"; do
  case "$name" in
    win) filter="$filter:MakeRecording.Win" ;;
    loss) filter="$filter:MakeRecording.Loss" ;;
    window) filter="$filter:MakeRecording.Window" ;;
    *) echo "make-recordings.sh: no recording called '$name'" >&2; exit 2 ;;
  esac
done
mkdir -p "$root/tests/data"
cd "$root/build"
GRAZEWELL_RECORDINGS="$root/tests/data" LIBGL_ALWAYS_SOFTWARE=1 \
  xvfb-run -a -s "-screen 0 1280x1024x24" ./tests/grazewell_tests --gtest_filter="${filter#:}"
ls -l "$root/tests/data"
