#!/usr/bin/env bash
# Builds the Debian package of the game into build-deb/ (its own tree, without the tests, the
# game in /usr/games as Debian keeps games) and checks it with lintian when that is installed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
out="$root/build-deb"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRAZEWELL_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DGRAZEWELL_INSTALL_BINDIR=games >/dev/null
cmake --build "$out" -j "$(nproc)"
(cd "$out" && cpack -G DEB >/dev/null)
deb="$(ls "$out"/grazewell_*.deb)"
echo "$deb"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
fi
