#!/usr/bin/env bash
# Records the games the suite plays back into tests/data: win.gzd and window.gzd from the real
# game, played with xdotool under Xvfb with a fixed seed; loss.gzd played in process by a player
# who sees the whole world, through the same events (the real game replays it in the suite's
# end-to-end test); keys.gzd, a win played in process from the keyboard alone through the live
# game's own bindings (pick_at_centre and space, no mouse).
# Run it again whenever a change to the game's logic makes the recorded games desync (the
# Recordings.* tests then name the frame). Takes a few minutes.
#   scripts/make-recordings.sh [win|loss|window|keys ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(win loss window keys)
filter=""
for name in "${names[@]}"; do
  case "$name" in
    win) filter="$filter:MakeRecording.Win" ;;
    loss) filter="$filter:PlannedRecording.Loss" ;;
    window) filter="$filter:MakeRecording.Window" ;;
    keys) filter="$filter:PlannedRecording.KeysAlone" ;;
    *) echo "make-recordings.sh: no recording called '$name'" >&2; exit 2 ;;
  esac
done
mkdir -p "$root/tests/data"
cd "$root/build"
GRAZEWELL_RECORDINGS="$root/tests/data" LIBGL_ALWAYS_SOFTWARE=1 \
  xvfb-run -a -s "-screen 0 1280x1024x24" ./tests/grazewell_tests --gtest_filter="${filter#:}"
ls -l "$root/tests/data"
