#!/usr/bin/env bash
# Takes the game's picture: builds, starts the real game under a private Xvfb with the painted
# textures, stops the bison before the first tree, lets the title view settle on the meadow,
# starts playing and steps forward, and saves
# the window as docs/grazewell.png.
#
# Usage: scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/docs/grazewell.png}"
"$root/scripts/build.sh" >/dev/null

for tool in Xvfb xdotool xwd; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh needs $tool" >&2; exit 1; }
done
# ImageMagick turns the X window dump into PNG.
convert=/usr/bin/convert
[ -x "$convert" ] || convert="$(command -v convert || true)"
[ -n "$convert" ] || { echo "screenshot.sh needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }

work="$(mktemp -d /tmp/grazewell-shot-XXXXXX)"
xvfb_pid=""
game_pid=""
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" || true; fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid" || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cp -r "$root/build/tex" "$work/tex"

# Xvfb chooses a free display and writes its number to the pipe.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
exec 3<&-
export DISPLAY=":$number"

(cd "$work" && LIBGL_ALWAYS_SOFTWARE=1 XDG_STATE_HOME="$work/state" exec "$root/build/grazewell" >"$work/stdout.txt") &
game_pid=$!

window=""
for _ in $(seq 1 200); do
  window="$(xdotool search --onlyvisible --name '^Grazewell$' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the game window did not appear" >&2; exit 1; }
# Without a window manager the window opens a pixel off screen.
xdotool windowmove --sync "$window" 0 0
xdotool windowfocus --sync "$window"

# A key is looked at once a frame, so each press is held for a moment.
press() { xdotool keydown "$1"; sleep "${2:-0.1}"; xdotool keyup "$1"; }
# Stop the bison near where it starts, in front of the first tree, and let the title view
# sink from the sky to the meadow (180 frames; a slow machine gets time).
press m
sleep 5
# Start playing and step towards the tree and its foods.
press 1
press w 0.6
sleep 0.5

xwd -silent -id "$window" -out "$work/shot.xwd"
mkdir -p "$(dirname "$out")"
"$convert" "xwd:$work/shot.xwd" -strip "png:$out"
xdotool key Escape || true
echo "saved $out"
