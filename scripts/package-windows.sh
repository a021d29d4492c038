#!/usr/bin/env bash
# Makes the Windows downloads in build/windows/game: grazewell-<version>-win64.zip, one folder
# that plays where it is unzipped, holding grazewell.exe (its icon and version inside), its
# pictures in tex/, README.txt for Windows players and copyright.txt; and
# grazewell-<version>-win64-setup.exe, the installer of the same files. Installs what is missing
# first.
#   scripts/package-windows.sh
# The game is cross-built with mingw-w64 into build/windows/game, the tree scripts/test-windows.sh
# builds its tests in; only the game and what it carries are built here. Its pictures and icon
# are painted by texgen.exe under Wine, in Wine's own prefix build/windows/wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows="$root/build/windows"
game="$windows/game"

"$root/scripts/install-deps.sh" --windows
. "$root/scripts/reproducible-env.sh"
. "$root/scripts/ccache-env.sh"
"$root/scripts/windows-deps.sh" "$windows/deps"

export WINEPREFIX="$windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# One Wine server for the whole build, stopped at the end: one started by the first texgen.exe
# would outlive the build holding its output open.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# The prefix made once, before texgen.exe runs twice at once.
"$(command -v wine64 || echo /usr/lib/wine/wine64)" wineboot --init >/dev/null 2>&1

echo "== Cross-building the game for Windows"
# cpack installs what is built without building the rest of the tree (the tests) first.
cmake -S "$root" -B "$game" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_FIND_ROOT_PATH="$windows/deps/prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
cmake --build "$game" -j "$(nproc)" --target grazewell

echo "== Packing the zip and the installer"
rm -f "$game"/grazewell-*-win64.zip "$game"/grazewell-*-win64-setup.exe
(cd "$game" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
ls -l "$game"/grazewell-*-win64.zip "$game"/grazewell-*-win64-setup.exe
