#!/usr/bin/env bash
# Builds what the Windows build links that mingw-w64 lacks, freeglut, OpenAL Soft and GoogleTest,
# as static libraries into <cache>/prefix, once: a later run finds them there and returns at once.
#   scripts/windows-deps.sh <cache folder>
# freeglut and OpenAL Soft come from Debian's own source packages, GoogleTest from
# /usr/src/googletest: the same versions the Linux build uses, and nothing fetched from anywhere
# but the machine's own mirror. Where the mirror has lost the release's OpenAL Soft tarball, the
# next release's is taken instead, checked against that release's signed source index.
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
# The next Debian release's OpenAL Soft: its suite added beside each entry of this release's, the
# upstream tarball alone fetched (mirrors have been seen to keep it and lose the Debian parts),
# its SHA-256 checked against the source index apt fetched and verified by its signature, and
# unpacked. Prints the unpacked folder; fails when any of that cannot be done.
next_release_openal() {
  local this next stanzas checksums tarball sum listed folder
  this="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
  next="$(awk -F, -v this="$this" 'found && $3 != "" { print $3; exit } $3 == this { found = 1 }' \
    /usr/share/distro-info/debian.csv 2>/dev/null)"
  [ -n "$this" ] && [ -n "$next" ] || return 1
  # Only the release's own suite (not its -updates or -security), read again as the next one's.
  sed -n "s/^\(deb-src[[:space:]].*[[:space:]]\)$this\([[:space:]].*\)$/\1$next\2/p" \
    "$apt_state/sources.list" >"$apt_state/sources.list.d/next.list"
  for stanzas in "$apt_state"/sources.list.d/*.sources; do
    [ -f "$stanzas" ] || continue
    awk -v this="$this" -v later="$next" 'BEGIN { RS = ""; ORS = "\n\n" }
      match($0, /(^|\n)Suites:[^\n]*/) {
        line = substr($0, RSTART, RLENGTH)
        if (line ~ ("[[:space:]]" this "([[:space:]]|$)")) {
          sub(/(^|\n)Suites:[^\n]*/, "\nSuites: " later); sub(/^\n/, ""); print } }' \
      "$stanzas"
  done >"$apt_state/next.sources"
  mv "$apt_state/next.sources" "$apt_state/sources.list.d/next.sources"
  [ -s "$apt_state/sources.list.d/next.list" ] || [ -s "$apt_state/sources.list.d/next.sources" ] ||
    return 1
  echo "== OpenAL Soft's source is missing from $this; taking $next's" >&2
  apt-get "${apt_options[@]}" update >"$log" 2>&1 || return 1
  # The tarball's name and SHA-256, as the signed index of the next release lists them.
  checksums="$(cd "$cache/src" &&
    apt-get "${apt_options[@]}" source --print-uris "openal-soft/$next" 2>/dev/null |
    sed -n "s/^'[^']*' \(openal-soft_[^ ]*\.orig\.tar\.[a-z0-9]*\) [0-9]* SHA256:\([0-9a-f]*\)$/\1 \2/p")"
  tarball="${checksums%% *}"
  listed="${checksums##* }"
  [ -n "$tarball" ] && [ -n "$listed" ] || return 1
  # apt fetches the tarball first and then fails on the missing Debian parts; what counts is that
  # the tarball came, whole.
  (cd "$cache/src" && apt-get "${apt_options[@]}" source --download-only "openal-soft/$next" \
    >"$log" 2>&1) || true
  [ -f "$cache/src/$tarball" ] || return 1
  sum="$(sha256sum "$cache/src/$tarball" | cut -d' ' -f1)"
  if [ "$sum" != "$listed" ]; then
    echo "$tarball: SHA-256 $sum, not the $listed $next's index lists" >&2
    return 1
  fi
  folder="$cache/src/$(echo "${tarball%.orig.tar.*}" | tr _ -)"
  mkdir -p "$folder"
  tar -xf "$cache/src/$tarball" -C "$folder" --strip-components=1 || return 1
  echo "$tarball: SHA-256 matches $next's signed index" >&2
  echo "$folder"
}
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
  openal_source="$(next_release_openal || true)"
fi
[ -n "$openal_source" ] ||
  echo "OpenAL Soft's source is not to be had from the mirror: the Windows game will be silent"

echo "== Building freeglut for Windows (static)"
quietly cmake -S "$freeglut_source" -B "$cache/freeglut-build" "${cross[@]}" \
  -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
  -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF
quietly cmake --build "$cache/freeglut-build" -j "$jobs"
quietly cmake --install "$cache/freeglut-build"

if [ -n "$openal_source" ]; then
  echo "== Building OpenAL Soft for Windows (static)"
  # Its build files ask for a generator expression newer than this CMake (3.26's
  # BUILD_LOCAL_INTERFACE); the older BUILD_INTERFACE means the same to a build that installs
  # nothing through them, so the library and its headers are copied into the prefix by hand.
  grep -rl 'BUILD_LOCAL_INTERFACE' "$openal_source" --include=CMakeLists.txt --include='*.cmake' |
    xargs -r sed -i 's/\$<BUILD_LOCAL_INTERFACE:/$<BUILD_INTERFACE:/g'
  # The library alone, with the backends Windows has (WASAPI, DirectSound, WinMM) and the wave
  # writer the tests listen through; none of its programs, examples or data files.
  quietly cmake -S "$openal_source" -B "$cache/openal-build" "${cross[@]}" -DLIBTYPE=STATIC \
    -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
    -DALSOFT_INSTALL=OFF -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_BACKEND_WAVE=ON \
    -DALSOFT_REQUIRE_WASAPI=ON -DALSOFT_REQUIRE_DSOUND=ON -DALSOFT_REQUIRE_WINMM=ON
  quietly cmake --build "$cache/openal-build" -j "$jobs"
  mkdir -p "$prefix/include/AL" "$prefix/lib"
  cp "$openal_source"/include/AL/*.h "$prefix/include/AL/"
  cp "$cache/openal-build"/libOpenAL32.a "$prefix/lib/"
fi

echo "== Building GoogleTest for Windows (static)"
quietly cmake -S /usr/src/googletest -B "$cache/googletest-build" "${cross[@]}" \
  -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
quietly cmake --build "$cache/googletest-build" -j "$jobs"
quietly cmake --install "$cache/googletest-build"

rm -rf "$cache/freeglut-build" "$cache/openal-build" "$cache/googletest-build"
touch "$stamp"
