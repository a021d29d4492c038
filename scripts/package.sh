#!/usr/bin/env bash
# Builds the game's Linux packages into build-deb/ (its own tree, without the tests) and checks
# them: the Debian package, grazewell_<version>_amd64.deb (the game in /usr/games as Debian keeps
# games), checked with lintian; and the RPM, grazewell-<version>.x86_64.rpm (the game in /usr/bin),
# made with Debian's rpm and checked with rpmlint.
#   scripts/package.sh [BUILD FOLDER]
# Both are the same bytes from every build of the same commit, wherever and whenever it is built:
# every time in them is the commit's (SOURCE_DATE_EPOCH), and no path of the build is in them
# (scripts/reproducible.sh checks it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/build-deb}" && cd "${1:-$root/build-deb}" && pwd)"
"$root/scripts/install-deps.sh"
. "$root/scripts/reproducible-env.sh"
. "$root/scripts/ccache-env.sh"
configure() {
  cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRAZEWELL_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DGRAZEWELL_INSTALL_BINDIR="$1" "${launcher[@]}" >/dev/null
}
configure games
# What the packages hold, nothing more: not the benchmark, the monkey or the frame counter.
cmake --build "$out" -j "$(nproc)" --target grazewell textures icons manpage changelog
rm -f "$out"/grazewell_*.deb "$out"/grazewell-*.rpm
(cd "$out" && cpack -G DEB >/dev/null)
# The same tree installs into /usr/bin for the RPM: only the install rules change, nothing is built
# again. Put back for Debian's afterwards, so that the tree stays as a rebuild expects it.
configure bin
(cd "$out" && cpack -G RPM >"$out/rpm.log" 2>&1) || { cat "$out/rpm.log"; exit 1; }
configure games
deb="$(ls "$out"/grazewell_*.deb)"
rpm="$(ls "$out"/grazewell-*.x86_64.rpm)"
echo "$deb"
echo "$rpm"
if [ -z "${GRAZEWELL_NO_LINT:-}" ]; then
  lintian --fail-on error "$deb"
  # rpmlint's configuration beside the packaging: the warnings it may give, each with its reason.
  rpmlint -c "$root/dist/rpmlint.toml" "$rpm"
fi
