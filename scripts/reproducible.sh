#!/usr/bin/env bash
# Builds and checks the packages (scripts/package.sh), then checks that two builds of the same sources, in two folders and at two times, give the same
# bytes: the game, the .deb and the .rpm (and, with --windows, grazewell.exe, the zip and the
# installer). The first build is the usual one (build-deb/, build/windows/game/); the second is
# made from a copy of the tree in a temporary folder elsewhere, a while later, without the compiler
# cache, so that nothing of the first is reused but the Windows dependencies. Prints each file's
# SHA-256; on a difference,
# shows where with diffoscope when that is installed, and fails.
#   scripts/reproducible.sh [--windows]
#   scripts/reproducible.sh --windows-made   the Windows downloads that scripts/test-windows.sh
#                                            --build made are the first build's, as they stand
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows=0
made=0
if [ "${1:-}" = "--windows" ]; then windows=1; fi
# Not made again: while these are compared, the Windows tests may be unpacking and installing them.
if [ "${1:-}" = "--windows-made" ]; then windows=1 made=1; fi
. "$root/scripts/reproducible-env.sh"

other="$(mktemp -d /tmp/grazewell-again-XXXXXX)"
trap 'rm -rf "$other" "$other.log"' EXIT
# The tree as it stands (committed or not, but nothing git ignores, so no build folder).
(cd "$root" && git ls-files -coz --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$other")

echo "== The packages, built and checked here, and built again in $other"
# The first build's packages are checked with lintian and rpmlint: what they say is shown.
if ! "$root/scripts/package.sh" >"$other.log" 2>&1; then
  cat "$other.log"
  exit 1
fi
grep -v '^\[' "$other.log" || true
# A second's gap at least, so that anything that wrote the clock into a file would show.
sleep 1
CCACHE_DISABLE=1 GRAZEWELL_NO_LINT=1 "$other/scripts/package.sh" >/dev/null
pairs=("$root/build-deb/grazewell" "$other/build-deb/grazewell")
for file in "$root"/build-deb/grazewell_*.deb "$root"/build-deb/grazewell-*.rpm; do
  pairs+=("$file" "$other/build-deb/$(basename "$file")")
done
if [ "$windows" = 1 ]; then
  echo "== The Windows game, its zip and its installer, built here and again in $other"
  [ "$made" = 1 ] || "$root/scripts/package-windows.sh" >/dev/null
  sleep 1
  # The dependencies are shared (the cache is keyed by their sources); the game is compiled
  # afresh.
  CCACHE_DISABLE=1 "$other/scripts/package-windows.sh" >/dev/null
  game="build/windows/game"
  for file in "$root/$game/grazewell.exe" "$root/$game"/grazewell-*-win64.zip \
    "$root/$game"/grazewell-*-win64-setup.exe; do
    pairs+=("$file" "$other/$game/$(basename "$file")")
  done
fi

different=0
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  first="${pairs[i]}" second="${pairs[i + 1]}"
  if cmp -s "$first" "$second"; then
    echo "same: $(sha256sum "$first" | cut -c1-16)  $(basename "$first")"
  else
    echo "DIFFERENT: $(basename "$first") ($first, $second)" >&2
    if command -v diffoscope >/dev/null; then diffoscope "$first" "$second" | head -60 >&2 || true; fi
    different=1
  fi
done
if [ "$different" = 1 ]; then exit 1; fi
echo "reproducible: two builds, the same bytes"
