#!/usr/bin/env bash
# Cross-builds Grazewell for 64-bit Windows with mingw-w64 and tests it headless under Wine: every
# test of the suite that Windows can run, then the real grazewell.exe played as a player would.
# Installs what is missing first. Everything it makes is kept under build/windows:
#   deps/   freeglut and GoogleTest built for Windows, once
#   game/   the Windows build: grazewell.exe, its pictures, texgen.exe, grazewell_tests.exe
#   wine/   Wine's own private prefix
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows="$root/build/windows"

if [ -z "${GRAZEWELL_UNDER_XVFB:-}" ]; then
  "$root/scripts/install-deps.sh" --windows
  # The Linux build plays the Windows game at the end; its own tests are not run here.
  "$root/scripts/build.sh"
  "$root/scripts/windows-deps.sh" "$windows/deps"
  # All that follows runs on one private X server, Wine's windows and the tests' alike.
  exec env GRAZEWELL_UNDER_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# Wine in a prefix of its own, quiet, without offering to install .NET or a browser engine.
export WINEPREFIX="$windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
mkdir -p "$WINEPREFIX"
# One server for the whole run, started here: a server started by a test would keep CTest's
# output pipe open, and CTest would wait on it for ever.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "== Wine prefix"
"$wine" wineboot --init >/dev/null 2>&1

echo "== Cross-building for Windows"
cmake -S "$root" -B "$windows/game" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_FIND_ROOT_PATH="$windows/deps/prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$windows/game" -j "$(nproc)"

# Painted by texgen.exe under Wine, the pictures must be those the Linux build paints.
for picture in "$root"/build/tex/*; do
  cmp "$picture" "$windows/game/tex/$(basename "$picture")"
done

echo "== Test suite under Wine"
# Twice as many at once as there are processors: each test's start and end wait on the Wine
# server more than they compute.
(cd "$windows/game" && ctest --output-on-failure -j "$((2 * $(nproc)))" --repeat until-pass:2 \
  --output-junit wine-tests.xml)
passed="$(grep -c 'status="run"' "$windows/game/wine-tests.xml" || true)"
skipped="$(grep -c 'status="disabled"\|<skipped' "$windows/game/wine-tests.xml" || true)"
echo "$passed tests passed under Wine, $skipped skipped"
if [ "$passed" -lt 120 ]; then
  echo "too few tests ran under Wine" >&2
  exit 1
fi

echo "== The Windows game played under Wine"
(cd "$root/build" && GRAZEWELL_WINDOWS_GAME="$windows/game/grazewell.exe" \
  GRAZEWELL_WINE="$wine" ./tests/grazewell_tests --gtest_filter='WindowsBuild.*' 2>&1 | tee "$windows/wine-game.log")
grep -q '^\[  PASSED  \] 1 test' "$windows/wine-game.log"
