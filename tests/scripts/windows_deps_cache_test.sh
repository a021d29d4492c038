#!/usr/bin/env bash
# The Windows dependency cache uses only what it built: in a copy of the cache, one library
# damaged (a byte changed) and one entry given a file it did not build are each built again, and
# what the build then gets is what was built before, byte for byte; the entry left alone is
# used as it is. Run by scripts/test-windows.sh once the real cache is filled.
#   tests/scripts/windows_deps_cache_test.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cache="${GRAZEWELL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/grazewell}"
copy="$(mktemp -d /tmp/grazewell-cache-test-XXXXXX)"
trap 'rm -rf "$copy"' EXIT
fail() { echo "windows_deps_cache_test: $*" >&2; exit 1; }

freeglut="$(ls -d "$cache"/windows-deps/freeglut-* | head -1)"
googletest="$(ls -d "$cache"/windows-deps/googletest-* | head -1)"
[ -d "$freeglut" ] && [ -d "$googletest" ] || fail "no filled cache in $cache"
mkdir -p "$copy/cache/windows-deps"
cp -a "$cache/sources" "$copy/cache/"
cp -a "$cache"/windows-deps/*-* "$copy/cache/windows-deps/"
library="prefix/lib/libfreeglut_static.a"
damaged="$copy/cache/windows-deps/$(basename "$freeglut")/$library"
printf '\x55' | dd of="$damaged" bs=1 seek=4000 conv=notrunc status=none
cmp -s "$damaged" "$freeglut/$library" && fail "the damage did not take"
foreign="$copy/cache/windows-deps/$(basename "$googletest")/prefix/lib/libforeign.a"
echo "not built here" >"$foreign"

GRAZEWELL_CACHE="$copy/cache" "$root/scripts/windows-deps.sh" "$copy/out" >"$copy/log" 2>&1 ||
  { cat "$copy/log"; fail "windows-deps.sh failed"; }
grep -q "freeglut-.* is damaged or holds files it did not build: building freeglut again" \
  "$copy/log" || { cat "$copy/log"; fail "the damaged freeglut was not built again"; }
grep -q "googletest-.* is damaged or holds files it did not build: building googletest again" \
  "$copy/log" || { cat "$copy/log"; fail "the foreign file did not make googletest build again"; }
if grep -q "building openal" "$copy/log"; then
  cat "$copy/log"
  fail "the whole OpenAL Soft entry was built again"
fi
cmp "$copy/out/$library" "$freeglut/$library" || fail "the rebuilt freeglut differs from the first"
[ ! -e "$copy/out/prefix/lib/libforeign.a" ] || fail "the foreign file reached the build"
[ ! -e "$foreign" ] || fail "the foreign file is still in the cache"
echo "windows_deps_cache_test: the damaged and the foreign entry were built again, the rest used"
