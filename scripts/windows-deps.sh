#!/usr/bin/env bash
# Gives the Windows build what mingw-w64 lacks, freeglut, OpenAL Soft, SQLite and GoogleTest, as
# static libraries in <folder>/prefix.
#   scripts/windows-deps.sh <folder>
# Each is built once per source into a cache outside the clone, shared by later runs and by every
# clone on the machine: $GRAZEWELL_CACHE, by default ~/.cache/grazewell (or $XDG_CACHE_HOME's).
# An entry is named by the SHA-256 of its source's files and of how it is built (this script, the
# toolchain file, the cross-compiler's version), and holds the SHA-256 of every file it installed:
# before use each is checked, and an entry with a file changed, missing or added is built again.
# freeglut, OpenAL Soft and SQLite come from Debian's own source packages, GoogleTest from
# /usr/src/googletest: the same versions the Linux build uses, and nothing fetched from anywhere
# but the machine's own mirror. Where the mirror has lost the release's OpenAL Soft tarball, the
# next release's is taken instead, checked against that release's signed source index.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="$(mkdir -p "$1" && cd "$1" && pwd)"
cache="${GRAZEWELL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/grazewell}"
mkdir -p "$cache/sources" "$cache/windows-deps"
cache="$(cd "$cache" && pwd)"
toolchain="$root/cmake/mingw-w64.cmake"
# A build that fails leaves nothing half made in the cache.
work=""
trap '[ -z "$work" ] || rm -rf "$work"' EXIT
# One build of the cache at a time, whichever clone asks.
exec 9>"$cache/windows-deps/.lock"
flock 9

jobs="$(nproc)"
log="$cache/windows-deps/build.log"
# Runs a step with its output kept in the log, shown only when the step fails.
quietly() {
  "$@" >"$log" 2>&1 || { cat "$log"; echo "failed: $*" >&2; exit 1; }
}
# The settings are part of each entry's key; the toolchain's path is not (its contents are, in the
# recipe), so that every clone on the machine finds the same entries.
settings=(-G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DCMAKE_FIND_ROOT_PATH=/nonexistent)
cross=("${settings[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain")
# Through ccache where it is installed: an entry built again (damaged, or its recipe changed but
# not its source) takes its objects from there.
if command -v ccache >/dev/null; then
  cross+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# How every entry is built, beside its own build function below: a change to any of it builds them
# all again.
recipe="$({ cat "$toolchain"; x86_64-w64-mingw32-g++-posix --version; } | sha256sum | cut -c1-64)"

# Debian's source index, fetched into a private apt state from the machine's own apt sources
# (each binary entry, read again as a source entry), so the machine's setup is left as it was.
# Only when a source is not in the cache yet.
apt_state="$cache/apt"
apt_options=(-o Dir::Etc::SourceList="$apt_state/sources.list"
  -o Dir::Etc::SourceParts="$apt_state/sources.list.d"
  -o Dir::State::Lists="$apt_state/lists" -o Dir::Cache="$apt_state/cache"
  -o APT::Sandbox::User=root -qq)
apt_ready=0
apt_update() {
  [ "$apt_ready" = 1 ] && return 0
  rm -rf "$apt_state"
  mkdir -p "$apt_state/lists/partial" "$apt_state/sources.list.d"
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
  echo "== Fetching Debian's source index"
  apt-get "${apt_options[@]}" update
  apt_ready=1
}

# The next Debian release's OpenAL Soft: its suite added beside each entry of this release's, the
# upstream tarball alone fetched into $1 (mirrors have been seen to keep it and lose the Debian
# parts), its SHA-256 checked against the source index apt fetched and verified by its signature.
# Fails when any of that cannot be done.
next_release_openal() {
  local into="$1" this next stanzas checksums tarball sum listed
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
  checksums="$(cd "$into" &&
    apt-get "${apt_options[@]}" source --print-uris "openal-soft/$next" 2>/dev/null |
    sed -n "s/^'[^']*' \(openal-soft_[^ ]*\.orig\.tar\.[a-z0-9]*\) [0-9]* SHA256:\([0-9a-f]*\)$/\1 \2/p")"
  tarball="${checksums%% *}"
  listed="${checksums##* }"
  [ -n "$tarball" ] && [ -n "$listed" ] || return 1
  # apt fetches the tarball first and then fails on the missing Debian parts; what counts is that
  # the tarball came, whole.
  (cd "$into" && apt-get "${apt_options[@]}" source --download-only "openal-soft/$next" \
    >"$log" 2>&1) || true
  [ -f "$into/$tarball" ] || return 1
  sum="$(sha256sum "$into/$tarball" | cut -d' ' -f1)"
  if [ "$sum" != "$listed" ]; then
    echo "$tarball: SHA-256 $sum, not the $listed $next's index lists" >&2
    return 1
  fi
  echo "$tarball: SHA-256 matches $next's signed index" >&2
  # Only the tarball is kept: the Debian parts that did come belong to no whole source.
  find "$into" -mindepth 1 -maxdepth 1 ! -name "$tarball" -exec rm -rf {} +
}

# The files of a source package in $cache/sources/<name>, fetched once; what is there is checked
# against the SHA-256 sums written when it came (apt verified them then against the signed index),
# and fetched again when it does not match. Prints nothing; fails when the source cannot be had.
fetch_source() {
  local name="$1" into="$cache/sources/$1"
  if [ -f "$into/SHA256SUMS" ] && (cd "$into" && sha256sum --quiet --strict -c SHA256SUMS \
    >/dev/null 2>&1) && [ "$(find "$into" -type f ! -name SHA256SUMS | wc -l)" = \
    "$(wc -l <"$into/SHA256SUMS")" ]; then
    return 0
  fi
  apt_update
  rm -rf "$into" "$into.partial"
  mkdir -p "$into.partial"
  if ! (cd "$into.partial" && apt-get "${apt_options[@]}" source --download-only "$name" \
    >"$log" 2>&1); then
    [ "$name" = openal-soft ] || { cat "$log"; return 1; }
    rm -rf "$into.partial" && mkdir -p "$into.partial"
    next_release_openal "$into.partial" || return 1
  fi
  (cd "$into.partial" && find . -type f | sed 's|^\./||' | sort | xargs sha256sum >../SHA256SUMS.new)
  mv "$into.partial/../SHA256SUMS.new" "$into.partial/SHA256SUMS"
  mv "$into.partial" "$into"
}

# The SHA-256 key of an entry: its source's files, the recipe, the cross-build's settings and its
# own build function.
source_key() {
  { cat "$1"; echo "$recipe"; printf '%s\n' "${settings[@]}"; declare -f "build_$2"; } |
    sha256sum | cut -c1-16
}

# An entry is whole when every file it installed is there with its SHA-256, and nothing else is.
entry_whole() {
  local entry="$1" key="$2"
  [ -f "$entry/MANIFEST" ] && [ "$(cat "$entry/KEY" 2>/dev/null)" = "$key" ] || return 1
  (cd "$entry/prefix" && sha256sum --quiet --strict -c ../MANIFEST >/dev/null 2>&1) || return 1
  [ "$(cd "$entry/prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)" = \
    "$(sed 's/^[0-9a-f]*  //' "$entry/MANIFEST" | sort)" ]
}

# Builds dependency <name> into <entry>/prefix with build_<name>, from source unpacked in <work>,
# unless the entry is already whole; then copies its files into the build's prefix.
entries=()
provide() {
  local name="$1" sums="$2" key entry
  key="$(source_key "$sums" "$name")"
  entry="$cache/windows-deps/$name-$key"
  if [ -d "$entry" ] && ! entry_whole "$entry" "$key"; then
    echo "== $entry is damaged or holds files it did not build: building $name again" >&2
    rm -rf "$entry"
  fi
  if [ ! -d "$entry" ]; then
    echo "== Building $name for Windows (static), once for its source $key"
    work="$(mktemp -d "$cache/windows-deps/.work-XXXXXX")"
    # Paths relative to the work folder, so that ccache knows the same compilation in another.
    CCACHE_BASEDIR="$work" "build_$name" "$work" "$work/prefix"
    (cd "$work/prefix" && find . -type f -o -type l | sed 's|^\./||' | sort | xargs sha256sum \
      >"$work/MANIFEST")
    echo "$key" >"$work/KEY"
    mkdir -p "$work/entry"
    mv "$work/prefix" "$work/MANIFEST" "$work/KEY" "$work/entry/"
    rm -rf "$entry"
    mv "$work/entry" "$entry"
    rm -rf "$work"
    work=""
    entry_whole "$entry" "$key" || { echo "$entry: not whole right after its build" >&2; exit 1; }
  fi
  entries+=("$entry")
}

build_freeglut() {
  local work="$1" prefix="$2" source
  (cd "$work" && dpkg-source -x --no-check "$cache"/sources/freeglut/*.dsc src >/dev/null)
  source="$work/src"
  quietly cmake -S "$source" -B "$work/build" "${cross[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF
  quietly cmake --build "$work/build" -j "$jobs"
  quietly cmake --install "$work/build"
}

build_openal() {
  local work="$1" prefix="$2" source="$1/src" dsc
  dsc="$(ls "$cache"/sources/openal-soft/*.dsc 2>/dev/null | head -1 || true)"
  if [ -n "$dsc" ]; then
    (cd "$work" && dpkg-source -x --no-check "$dsc" src >/dev/null)
  else
    mkdir -p "$source"
    tar -xf "$(ls "$cache"/sources/openal-soft/openal-soft_*.orig.tar.* | head -1)" -C "$source" \
      --strip-components=1
  fi
  # Its build files ask for a generator expression newer than this CMake (3.26's
  # BUILD_LOCAL_INTERFACE); the older BUILD_INTERFACE means the same to a build that installs
  # nothing through them, so the library and its headers are copied into the prefix by hand.
  grep -rl 'BUILD_LOCAL_INTERFACE' "$source" --include=CMakeLists.txt --include='*.cmake' |
    xargs -r sed -i 's/\$<BUILD_LOCAL_INTERFACE:/$<BUILD_INTERFACE:/g'
  # The library alone, with the backends Windows has (WASAPI, DirectSound, WinMM) and the wave
  # writer the tests listen through; none of its programs, examples or data files.
  quietly cmake -S "$source" -B "$work/build" "${cross[@]}" -DLIBTYPE=STATIC \
    -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
    -DALSOFT_INSTALL=OFF -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_BACKEND_WAVE=ON \
    -DALSOFT_REQUIRE_WASAPI=ON -DALSOFT_REQUIRE_DSOUND=ON -DALSOFT_REQUIRE_WINMM=ON
  quietly cmake --build "$work/build" -j "$jobs"
  mkdir -p "$prefix/include/AL" "$prefix/lib"
  cp "$source"/include/AL/*.h "$prefix/include/AL/"
  cp "$work/build"/libOpenAL32.a "$prefix/lib/"
}

build_sqlite() {
  local work="$1" prefix="$2" source="$1/src" cc=x86_64-w64-mingw32-gcc-posix
  (cd "$work" && dpkg-source -x --no-check "$cache"/sources/sqlite3/*.dsc src >/dev/null)
  # The one-file library (sqlite3.c) is made from the source tree by its own build, with the
  # machine's compiler and tclsh; that file alone is then compiled for Windows.
  mkdir -p "$work/native"
  (cd "$work/native" && quietly "$source/configure" --disable-tcl --disable-readline \
    --disable-shared && quietly make sqlite3.c)
  command -v ccache >/dev/null && cc="ccache $cc"
  # As the game uses it: one thread at a time per connection, no extensions loaded from files.
  quietly $cc -O2 -DNDEBUG -c "$work/native/sqlite3.c" -o "$work/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION
  mkdir -p "$prefix/include" "$prefix/lib"
  quietly x86_64-w64-mingw32-ar rcsD "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
  cp "$work/native/sqlite3.h" "$source/src/sqlite3ext.h" "$prefix/include/"
}

build_googletest() {
  local work="$1" prefix="$2"
  quietly cmake -S /usr/src/googletest -B "$work/build" "${cross[@]}" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
  quietly cmake --build "$work/build" -j "$jobs"
  quietly cmake --install "$work/build"
}

fetch_source freeglut
provide freeglut "$cache/sources/freeglut/SHA256SUMS"
# A mirror that lacks OpenAL Soft's source leaves the Windows game without sound, not unbuilt:
# the build then links the sound room's silent device layer.
if fetch_source openal-soft; then
  provide openal "$cache/sources/openal-soft/SHA256SUMS"
else
  echo "OpenAL Soft's source is not to be had from the mirror: the Windows game will be silent"
fi
fetch_source sqlite3
provide sqlite "$cache/sources/sqlite3/SHA256SUMS"
googletest_sums="$cache/windows-deps/googletest.SHA256SUMS"
(cd /usr/src/googletest && find . -type f | sort | xargs sha256sum) >"$googletest_sums"
provide googletest "$googletest_sums"

# The build's prefix: the entries' files, their times kept, so that an unchanged entry relinks
# nothing.
rm -rf "$folder/prefix"
mkdir -p "$folder/prefix"
for entry in "${entries[@]}"; do cp -a "$entry/prefix/." "$folder/prefix/"; done
