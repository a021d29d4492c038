#!/usr/bin/env bash
# Installs what is missing, builds the game and its pictures (nothing else), and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target grazewell textures
if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MESSAGE'
Grazewell needs a graphical display, and DISPLAY is not set. The game is built in build/;
start it from a desktop session with: build/grazewell
MESSAGE
  exit 1
fi
cd "$root/build"
exec ./grazewell "$@"
