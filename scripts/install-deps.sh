#!/usr/bin/env bash
# Installs what building, playing, testing and packaging Grazewell need on Debian; quick when all
# is there.
#   scripts/install-deps.sh             the Linux build, its tests and its packages (appstream
#                                       checks the metainfo, rpm and rpmlint make and check the
#                                       RPM, ccache keeps compiled objects between builds,
#                                       x11-utils' xwininfo tells the tests where a window is,
#                                       apitrace traces the GL calls of the game's frames,
#                                       tesseract-ocr reads a caption back off the screen)
#   scripts/install-deps.sh --windows   also the mingw-w64 cross-compilers, Wine, NSIS (the
#                                       installer), icoutils (to read the Windows program's icon
#                                       back), Debian's release list (to find the next one),
#                                       unzip (to unpack the zip the tests play) and tclsh (which
#                                       SQLite's source makes its one-file library with)
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
  libopenal-dev libtomlplusplus-dev libsqlite3-dev
  libgtest-dev googletest
  xvfb xauth xdotool x11-apps x11-utils openbox libx11-dev
  desktop-file-utils dpkg-dev lintian gzip
  clang libclang-rt-14-dev
  appstream rpm rpmlint ccache apitrace
  tesseract-ocr
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis icoutils
    distro-info-data unzip tcl)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
