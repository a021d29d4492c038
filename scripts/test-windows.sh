#!/usr/bin/env bash
# Cross-builds Grazewell for 64-bit Windows with mingw-w64 and tests it headless under Wine: every
# test of the suite that Windows can run, then the download that scripts/package-windows.sh makes,
# unzipped and played as a player would. Installs what is missing first. Everything it makes is
# kept under build/windows:
#   deps/   freeglut and GoogleTest built for Windows, once
#   game/   the Windows build: grazewell.exe, its pictures, texgen.exe, grazewell_tests.exe, and
#           the zip grazewell-<version>-win64.zip
#   wine/   Wine's own private prefix
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows="$root/build/windows"

if [ -z "${GRAZEWELL_UNDER_XVFB:-}" ]; then
  "$root/scripts/install-deps.sh" --windows
  # The Linux build plays the Windows game at the end; its own tests are not run here.
  "$root/scripts/build.sh"
  # The deps, the game and its zip; the tests are built below.
  "$root/scripts/package-windows.sh"
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
unpacked="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$unpacked"' EXIT
echo "== Wine prefix"
"$wine" wineboot --init >/dev/null 2>&1

echo "== Cross-building the tests for Windows"
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

echo "== The download"
zip="$(ls "$windows/game"/grazewell-*-win64.zip)"
folder="$(basename "$zip" .zip)"
# One folder holding the game, its pictures (those the build paints), README.txt and
# copyright.txt, and nothing else.
expected="$({ printf '%s\n' grazewell.exe README.txt copyright.txt
  for picture in "$root"/build/tex/*; do echo "tex/$(basename "$picture")"; done; } |
  sed "s|^|$folder/|" | sort)"
listed="$(unzip -Z1 "$zip" | grep -vx "$folder/\|$folder/tex/" | sort)"
if [ "$listed" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$listed") || true
  echo "$zip holds other files than the game's (< missing, > not wanted)" >&2
  exit 1
fi
echo "$(echo "$listed" | wc -l) files in $folder/, as they should be"
unzip -q "$zip" -d "$unpacked"
exe="$unpacked/$folder/grazewell.exe"
# Its resource: the icon the build painted, at 16, 32, 48 and 256 pixels (wrestool pads the file
# it rebuilds with zeros), and the version of the project.
ico="$windows/game/icons/grazewell.ico"
wrestool -x --type=14 --name=GLUT_ICON "$exe" >"$unpacked/icon.ico"
cmp -n "$(stat -c %s "$ico")" "$ico" "$unpacked/icon.ico"
sides="$(icotool -l "$unpacked/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | xargs)"
[ "$sides" = "16 32 48 256" ] || { echo "the icon's sides: $sides" >&2; exit 1; }
version="$("$root/build/grazewell" --version | cut -d' ' -f2)"
strings="$(wrestool -x --raw --type=16 "$exe" | strings -el | tr '\n' '|')"
for pair in "ProductName|Grazewell|" "FileDescription|Grazewell|" "FileVersion|$version|" \
  "ProductVersion|$version|"; do
  case "$strings" in *"|$pair"*) ;; *) echo "no $pair in the version: $strings" >&2; exit 1 ;; esac
done
echo "grazewell.exe carries the icon at $sides pixels and version $version"

echo "== The unzipped game played under Wine"
# Moved and renamed after unzipping, it still finds its pictures beside itself; its capture goes
# to the folder it is started from, none beside it.
mv "$unpacked/$folder" "$unpacked/Grazewell moved"
(cd "$root/build" && GRAZEWELL_WINDOWS_GAME="$unpacked/Grazewell moved/grazewell.exe" \
  GRAZEWELL_WINE="$wine" ./tests/grazewell_tests --gtest_filter='WindowsBuild.*' 2>&1 | tee "$windows/wine-game.log")
grep -q '^\[  PASSED  \] 1 test' "$windows/wine-game.log"
[ ! -e "$unpacked/Grazewell moved/ppm" ] || { echo "a capture beside the game" >&2; exit 1; }
