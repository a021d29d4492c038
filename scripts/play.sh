#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from build/ (where its tex/ is).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "Grazewell needs a graphical display, and DISPLAY is not set. The game is built in"
  echo "build/; start it from a desktop session with: cd build && ./grazewell" >&2
  exit 1
fi
cd "$root/build"
exec ./grazewell "$@"
