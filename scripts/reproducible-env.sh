# Sourced by the scripts that make what players download: every time written into a package, a
# zip or an installer is the last commit's, so two builds of one commit give the same bytes
# (scripts/reproducible.sh). An exported SOURCE_DATE_EPOCH is kept; outside a git checkout (a
# source tarball) the newest file of the tree stands in for the commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
    find "$root" -path "$root/build*" -prune -o -type f -printf '%T@\n' | sort -n | tail -1 |
    cut -d. -f1)"
fi
export SOURCE_DATE_EPOCH
# Archives list their files in one order and give them one owner, whoever builds.
export TZ=UTC LC_ALL=C.UTF-8
umask 022
