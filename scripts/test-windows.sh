#!/usr/bin/env bash
# Cross-builds Grazewell for 64-bit Windows with mingw-w64 and tests it headless under Wine: every
# test of the suite that Windows can run, then the downloads that scripts/package-windows.sh
# makes, the zip unzipped and the installer installed, each played as a player would, and heard
# through OpenAL Soft's wave writer. Installs what is missing first. Everything it makes is kept
# under build/windows:
#   deps/            freeglut, OpenAL Soft and GoogleTest built for Windows, copied from the
#                    cache that scripts/windows-deps.sh keeps outside the clone
#   game/            the Windows build: grazewell.exe, its pictures, texgen.exe,
#                    grazewell_tests.exe, the zip grazewell-<version>-win64.zip and the installer
#                    grazewell-<version>-win64-setup.exe
#   wine/            Wine's own private prefix
#   wine-installed/  a fresh prefix for each run, that the installer installs the game into
#   scripts/test-windows.sh           builds what is missing, then tests
#   scripts/test-windows.sh --build   builds only: the game, its downloads and its tests
#   scripts/test-windows.sh --test    tests what those two builds made
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows="$root/build/windows"

if [ "${1:-}" = "--build" ]; then
  "$root/scripts/install-deps.sh" --windows
  # The deps, the game and its downloads, then the tests. No test here needs Wine to be built:
  # the test programs are listed when CTest runs them.
  "$root/scripts/package-windows.sh"
  echo "== Cross-building the tests for Windows"
  cmake --build "$windows/game" -j "$(nproc)"
  echo "== The dependency cache: what is damaged or foreign in it is built again"
  "$root/tests/scripts/windows_deps_cache_test.sh"
  exit 0
fi

if [ -z "${GRAZEWELL_UNDER_XVFB:-}" ]; then
  if [ "${1:-}" != "--test" ]; then
    # The Linux build plays the Windows game at the end; its own tests are not run here.
    "$root/scripts/build.sh"
    "$0" --build
  fi
  # All that follows runs on one private X server, Wine's windows and the tests' alike.
  exec env GRAZEWELL_UNDER_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
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

# Painted by texgen.exe under Wine, the pictures must be those the Linux build paints.
for picture in "$root"/build/tex/*; do
  cmp "$picture" "$windows/game/tex/$(basename "$picture")"
done

echo "== Test suite under Wine"
# Twice as many at once as there are processors: each test's start and end wait on the Wine
# server more than they compute.
(cd "$windows/game" && ctest --output-on-failure -j "$((2 * $(nproc)))" \
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
# to the folder it is started from, none beside it. It is heard, and with no device it says so.
# Its settings land in %APPDATA%\Grazewell and are read back by the next game.
# A game is kept in %LOCALAPPDATA%\Grazewell\games and replays.
mv "$unpacked/$folder" "$unpacked/Grazewell moved"
(cd "$root/build" && GRAZEWELL_WINDOWS_GAME="$unpacked/Grazewell moved/grazewell.exe" \
  GRAZEWELL_WINE="$wine" ./tests/grazewell_tests \
  --gtest_filter='WindowsBuild.UnderWine*' 2>&1 | tee "$windows/wine-game.log")
grep -q '^\[  PASSED  \] 5 tests' "$windows/wine-game.log"
[ ! -e "$unpacked/Grazewell moved/ppm" ] || { echo "a capture beside the game" >&2; exit 1; }

echo "== The installer under Wine"
# Into a fresh prefix of its own, silently, as an administrator's script would.
installed="$windows/wine-installed"
wineserver -k 2>/dev/null || true
rm -rf "$installed"
mkdir -p "$installed"
export WINEPREFIX="$installed"
wineserver -p
trap 'wineserver -k 2>/dev/null || true; rm -rf "$unpacked"' EXIT
"$wine" wineboot --init >/dev/null 2>&1
"$wine" "$(ls "$windows/game"/grazewell-*-win64-setup.exe)" /S
drive="$installed/drive_c"
home="$drive/Program Files/Grazewell"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Grazewell"
captures="$drive/users/Public/Documents/Grazewell"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Grazewell'
# The zip's files and the uninstaller, nothing else.
placed="$(cd "$home" && find . -type f | sed 's|^\./||' | sort)"
wanted="$({ echo "$expected" | sed "s|^$folder/||"; echo Uninstall.exe; } | sort)"
if [ "$placed" != "$wanted" ]; then
  diff <(echo "$wanted") <(echo "$placed") || true
  echo "the installer placed other files than the game's (< missing, > not wanted)" >&2
  exit 1
fi
[ -f "$menu/Grazewell.lnk" ] || { echo "no Start menu entry" >&2; exit 1; }
entry="$("$wine" reg query "$key" |
  tr -d '\r' | sed 's/^ *//; s/  */ /g')"
for line in "DisplayName REG_SZ Grazewell" "DisplayVersion REG_SZ $version" \
  "Publisher REG_SZ The Grazewell developers" \
  "DisplayIcon REG_SZ C:\\Program Files\\Grazewell\\grazewell.exe" \
  "UninstallString REG_SZ \"C:\\Program Files\\Grazewell\\Uninstall.exe\""; do
  grep -qxF "$line" <<<"$entry" || { echo "no '$line' in the uninstall entry: $entry" >&2; exit 1; }
done
size="$(sed -n 's/^EstimatedSize REG_DWORD //p' <<<"$entry")"
kib="$(du -sk "$home" | cut -f1)"
[ -n "$size" ] && [ $((size)) -ge $((kib * 9 / 10)) ] && [ $((size)) -le $((kib * 11 / 10)) ] ||
  { echo "the uninstall entry's size, $size KiB, is not the installed $kib KiB" >&2; exit 1; }
echo "$(echo "$placed" | wc -l) files in Program Files, a Start menu entry, an uninstall entry"

echo "== The installed game played under Wine"
# Started from its shortcut's folder, where its capture lands; heard as the zip's game is.
(cd "$root/build" && GRAZEWELL_WINDOWS_GAME="$home/grazewell.exe" \
  GRAZEWELL_WINDOWS_SHORTCUT="$menu/Grazewell.lnk" GRAZEWELL_WINE="$wine" ./tests/grazewell_tests \
  --gtest_filter='WindowsBuild.TheInstalledGame*:WindowsBuild.UnderWineTheBisonIsHeard*' 2>&1 |
  tee "$windows/wine-installed.log")
grep -q '^\[  PASSED  \] 2 tests' "$windows/wine-installed.log"

echo "== The uninstaller under Wine"
# It runs from a copy of itself in the temporary folder, and returns at once: done when the
# game's files, its Start menu entry and its uninstall entry are gone.
"$wine" "$home/Uninstall.exe" /S
for _ in $(seq 60); do
  if [ ! -e "$home" ] && [ ! -e "$menu" ] &&
    ! "$wine" reg query "$key" \
      >/dev/null 2>&1; then
    break
  fi
  sleep 1
done
left="$(find "$home" "$menu" 2>/dev/null || true)"
[ -z "$left" ] || { echo "the uninstaller left: $left" >&2; exit 1; }
if "$wine" reg query "$key" \
  >/dev/null 2>&1; then
  echo "the uninstaller left the uninstall entry" >&2
  exit 1
fi
# The player's captures stay where they were saved, and nothing else of the game does.
kept="$(cd "$captures" && find . -type f | sed 's|^\./||' | sort)"
if [ -z "$kept" ] || grep -vx 'ppm/img[0-9][0-9][0-9]\.ppm' <<<"$kept"; then
  echo "the captures folder holds: $kept" >&2
  exit 1
fi
echo "uninstalled: the game's files and entries gone, the player's capture kept"
