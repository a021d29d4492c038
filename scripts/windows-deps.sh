#!/usr/bin/env bash
# Builds what the Windows build links that mingw-w64 lacks, freeglut, OpenAL Soft and GoogleTest,
# as static libraries into <cache>/prefix, once: a later run finds them there and returns at once.
#   scripts/windows-deps.sh <cache folder>
# freeglut and OpenAL Soft come from Debian's own source packages, GoogleTest from
# /usr/src/googletest: the same versions the Linux build uses, and nothing fetched from anywhere
# but the machine's own mirror.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="$(mkdir -p "$1" && cd "$1" && pwd)"
prefix="$cache/prefix"
toolchain="$root/cmake/mingw-w64.cmake"
stamp="$prefix/.built-by-$(cat "$0" "$toolchain" | sha1sum | cut -c1-12)"
if [ -e "$stamp" ]; then exit 0; fi
rm -rf "$prefix" "$cache/src" "$cache/apt" "$cache/freeglut-build" "$cache/openal-build" \
  "$cache/googletest-build"

jobs="$(nproc)"
log="$cache/build.log"
# Runs a step with its output kept in the log, shown only when the step fails.
quietly() {
  "$@" >"$log" 2>&1 || { cat "$log"; echo "failed: $*" >&2; exit 1; }
}
cross=(-G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix")

# Debian's source index, fetched into a private apt state from the machine's own apt sources
# (each binary entry, read again as a source entry), so the machine's setup is left as it was.
apt_state="$cache/apt"
mkdir -p "$apt_state/lists/partial" "$apt_state/sources.list.d" "$cache/src"
: >"$apt_state/sources.list"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" >>"$apt_state/sources.list"
done
for sources in /etc/apt/sources.list.d/*.sources; do
  [ -f "$sources" ] || continue
  # Only the stanzas that list binary packages, each taken once as a source stanza.
  awk 'BEGIN { RS = ""; ORS = "\n\n" }
       /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$)/ {
         sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
    "$sources" >"$apt_state/sources.list.d/$(basename "$sources")"
done
apt_options=(-o Dir::Etc::SourceList="$apt_state/sources.list"
  -o Dir::Etc::SourceParts="$apt_state/sources.list.d"
  -o Dir::State::Lists="$apt_state/lists" -o Dir::Cache="$apt_state/cache"
  -o APT::Sandbox::User=root -qq)
echo "== Fetching the Debian sources of freeglut and OpenAL Soft"
apt-get "${apt_options[@]}" update
(cd "$cache/src" && apt-get "${apt_options[@]}" source freeglut)
freeglut_source="$(find "$cache/src" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*' | head -1)"
# A mirror that lacks OpenAL Soft's source leaves the Windows game without sound, not unbuilt:
# the build then links the sound room's silent device layer.
openal_source=""
if (cd "$cache/src" && apt-get "${apt_options[@]}" source openal-soft >"$log" 2>&1); then
  openal_source="$(find "$cache/src" -mindepth 1 -maxdepth 1 -type d -name 'openal-soft-*' | head -1)"
else
  echo "OpenAL Soft's source is not to be had from the mirror: the Windows game will be silent"
fi

echo "== Building freeglut for Windows (static)"
quietly cmake -S "$freeglut_source" -B "$cache/freeglut-build" "${cross[@]}" \
  -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
  -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF
quietly cmake --build "$cache/freeglut-build" -j "$jobs"
quietly cmake --install "$cache/freeglut-build"

if [ -n "$openal_source" ]; then
  echo "== Building OpenAL Soft for Windows (static)"
  # The library alone, with the backends Windows has (WASAPI, DirectSound, WinMM) and the wave
  # writer the tests listen through; none of its programs, examples or data files.
  quietly cmake -S "$openal_source" -B "$cache/openal-build" "${cross[@]}" -DLIBTYPE=STATIC \
    -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
    -DALSOFT_CONFIG=OFF -DALSOFT_HRTF_DEFS=OFF -DALSOFT_AMBDEC_PRESETS=OFF \
    -DALSOFT_EMBED_HRTF_DATA=OFF -DALSOFT_BACKEND_WAVE=ON
  quietly cmake --build "$cache/openal-build" -j "$jobs"
  quietly cmake --install "$cache/openal-build"
fi

echo "== Building GoogleTest for Windows (static)"
quietly cmake -S /usr/src/googletest -B "$cache/googletest-build" "${cross[@]}" \
  -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
quietly cmake --build "$cache/googletest-build" -j "$jobs"
quietly cmake --install "$cache/googletest-build"

rm -rf "$cache/freeglut-build" "$cache/openal-build" "$cache/googletest-build"
touch "$stamp"
