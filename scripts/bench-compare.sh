#!/usr/bin/env bash
# Two builds of the game measured side by side in one run: rounds of the two benchmarks
# alternate, so both see the same machine, then one table gives both.
#   scripts/bench-compare.sh OLD NEW [rounds] [seconds per measurement]
# OLD and NEW are build folders holding bench/grazewell_bench and tex/, or commits: a commit is
# exported and built, with this tree's benchmark, into a folder under /tmp, so that both sides
# run the same measurement. Runs under Xvfb with Mesa's llvmpipe, like scripts/bench.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -lt 2 ]; then
    echo "usage: scripts/bench-compare.sh OLD NEW [rounds] [seconds]" >&2
    exit 2
fi
rounds="${3:-9}"
seconds="${4:-1}"

# A build folder for a side: as given, or a commit built with this tree's benchmark.
side() {
    local given="$1"
    if [ -x "$given/bench/grazewell_bench" ]; then
        (cd "$given" && pwd)
        return
    fi
    local commit
    commit="$(git -C "$root" rev-parse --verify --quiet "$given^{commit}")" || {
        echo "$given is neither a build folder nor a commit" >&2
        exit 2
    }
    local tree="/tmp/grazewell-bench-${commit:0:12}"
    if [ ! -d "$tree/source" ]; then
        mkdir -p "$tree/source"
        git -C "$root" archive "$commit" | tar -x -C "$tree/source"
    fi
    # The benchmark of this tree, brought up to date on every run.
    rm -rf "$tree/source/bench"
    cp -r "$root/bench" "$tree/source/bench"
    cmake -S "$tree/source" -B "$tree/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DGRAZEWELL_TESTS=OFF >/dev/null
    cmake --build "$tree/build" --target grazewell_bench textures -j 2 >/dev/null
    echo "$tree/build"
}
old="$(side "$1")"
new="$(side "$2")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for ((round = 0; round < rounds; round++)); do
    for which in old new; do
        dir="$old"
        [ "$which" = new ] && dir="$new"
        (cd "$dir" && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1200x24" \
            ./bench/grazewell_bench --raw 1 "$seconds") | sed "s/^/$which\t/" >>"$work/raw"
    done
done

echo "old: $old"
echo "new: $new"
sed -n 's/^new\trenderer\t/Renderer: /p' "$work/raw" | head -1
echo "$rounds rounds of $seconds s, the two builds alternating; medians, spread (min - max)."
echo
awk -F '\t' '
function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; i++) v[i] += 0
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    lo = v[1]; hi = v[n]
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
$2 == "frame" {
    key = $1 SUBSEP $3
    if (!($3 in seen)) { seen[$3] = 1; order[++count] = $3 }
    fps[key] = fps[key] " " $5; cpu[key] = cpu[key] " " $6; thread[key] = thread[key] " " $7
}
$2 == "start-up" {
    first[$1] = first[$1] " " $4; init[$1] = init[$1] " " $5; sound[$1] = sound[$1] " " $6
    warm[$1] = warm[$1] " " $7; title[$1] = title[$1] " " $8
}
END {
    # Each frame against the scenery floor at its own window size.
    for (k = 1; k <= count; k++) {
        if (order[k] ~ /^floor: scenery/) {
            if (order[k] ~ /1920/) wideFloor = order[k]; else gameFloor = order[k]
        }
    }
    for (s = 1; s <= 2; s++) {
        side = s == 1 ? "old" : "new"
        floorFps[side, 0] = median(fps[side, gameFloor]); floorCpu[side, 0] = median(cpu[side, gameFloor])
        floorFps[side, 1] = median(fps[side, wideFloor]); floorCpu[side, 1] = median(cpu[side, wideFloor])
    }
    printf "| %-36s | %-26s | %-26s | %-13s | %-13s | %-13s |\n", "frame", "old fps (spread)", "new fps (spread)", "time / floor", "CPU ms / floor", "game thread ms"
    printf "|------------------------------------|----------------------------|----------------------------|---------------|----------------|---------------|\n"
    for (k = 1; k <= count; k++) {
        name = order[k]
        w = name ~ /1920/ ? 1 : 0
        o = median(fps["old", name]); ol = lo; oh = hi
        n = median(fps["new", name]); nl = lo; nh = hi
        oc = median(cpu["old", name]); nc = median(cpu["new", name])
        ot = median(thread["old", name]); nt = median(thread["new", name])
        printf "| %-36s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) | %5.2f -> %5.2f | %5.2f -> %5.2f | %5.2f -> %5.2f |\n", name, o, ol, oh, n, nl, nh, floorFps["old", w] / o, floorFps["new", w] / n, oc / floorCpu["old", w], nc / floorCpu["new", w], ot, nt
    }
    printf "\n| %-34s | %-26s | %-26s |\n", "start-up", "old ms (spread)", "new ms (spread)"
    printf "|------------------------------------|----------------------------|----------------------------|\n"
    o = median(first["old"]); ol = lo; oh = hi; n = median(first["new"]); nl = lo; nh = hi
    printf "| %-34s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) |\n", "exec to the first frame finished", o, ol, oh, n, nl, nh
    o = median(init["old"]); ol = lo; oh = hi; n = median(init["new"]); nl = lo; nh = hi
    printf "| %-34s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) |\n", "initWorld alone", o, ol, oh, n, nl, nh
    o = median(warm["old"]); ol = lo; oh = hi; n = median(warm["new"]); nl = lo; nh = hi
    printf "| %-34s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) |\n", "selection warm-up before it", o, ol, oh, n, nl, nh
    o = median(sound["old"]); ol = lo; oh = hi; n = median(sound["new"]); nl = lo; nh = hi
    printf "| %-34s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) |\n", "initSound alone", o, ol, oh, n, nl, nh
    o = median(title["old"]); ol = lo; oh = hi; n = median(title["new"]); nl = lo; nh = hi
    printf "| %-34s | %7.1f (%7.1f - %7.1f) | %7.1f (%7.1f - %7.1f) |\n", "slowest title frame after it", o, ol, oh, n, nl, nh
}' "$work/raw"
