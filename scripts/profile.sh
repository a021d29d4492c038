#!/usr/bin/env bash
# Where the time of one frame goes, from perf samples of the benchmark's frames alone:
#   scripts/profile.sh [situation] [seconds]     (default: "playing, foods at home", 20 s)
# The situation is the start of a benchmark row's name. Prints the CPU milliseconds per frame of
# our code, GLU and freeglut, the GL driver on the game's thread (vertex processing, state,
# binning, the swap) and llvmpipe's rasteriser threads, then the game's thread by step of the
# frame. Needs perf and a built tree (scripts/build.sh); runs under Xvfb with llvmpipe.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
situation="${1:-playing, foods at home}"
seconds="${2:-20}"
build="${GRAZEWELL_BUILD:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkfifo "$work/control" "$work/ack"

# One sample per 2 ms of CPU on any thread, with call chains unwound from the stack.
(cd "$build" &&
    LIBGL_ALWAYS_SOFTWARE=1 GRAZEWELL_PROFILER_CONTROL="$work/control" \
        GRAZEWELL_PROFILER_ACK="$work/ack" \
        xvfb-run -a -s "-screen 0 1920x1200x24" \
        perf record -q -e cpu-clock -c 2000000 --call-graph dwarf,8192 -D -1 \
        --control "fifo:$work/control,$work/ack" -o "$work/perf.data" \
        ./bench/grazewell_bench --only "$situation" "$seconds") >"$work/bench.txt"
cat "$work/bench.txt"
frames="$(sed -n 's/.* \([0-9][0-9]*\) frames on .*/\1/p' "$work/bench.txt")"
fps="$(sed -n 's/.*: \([0-9.]*\) fps,.*/\1/p' "$work/bench.txt")"

perf script -i "$work/perf.data" 2>/dev/null | awk -v frames="$frames" -v fps="$fps" '
# A sample: its thread name and period on the first line, then its call chain, leaf first.
function flush(    i, d, s, layer, step, swap) {
    if (comm == "") return
    if (comm ~ /^llvmpipe-/) {
        layer = "GL driver, rasteriser threads (fragment shading, tile writes)"
    } else {
        layer = ""; step = ""; swap = 0
        for (i = 1; i <= n; i++) {
            d = dso[i]; s = sym[i]
            if (s ~ /^glutSwapBuffers/) swap = 1
            if (d ~ /grazewell/) {
                if (layer == "") layer = "our code"
                step = stepOf(s, swap)
                break
            }
            if (layer != "") continue
            if (d ~ /libGLU/ || d ~ /libglut/) layer = "GLU and freeglut"
            else if (d ~ /swrast_dri|gallium|perf-[0-9]*\.map|JIT|libLLVM|libglapi|GLX_mesa/)
                layer = "GL driver, game thread (vertex processing, state, binning, swap)"
        }
        if (layer == "") layer = "other (libc, kernel, unresolved)"
        if (step == "") step = "driver JIT code (vertex fetch, shading): no call chain"
        steps[step] += period
        stepTotal += period
    }
    total[layer] += period
    all += period
    comm = ""
}
function stepOf(s, swap) {
    if (swap) return "swap (glutSwapBuffers)"
    if (s ~ /Bison::|drawDome|domeVertices|domePoint|Leg|drawTail|texturedSphere/)
        return "bison (draw, nod, wander)"
    if (s ~ /drawFood|foodSphere|drawTexturedSphere|placeFood|Food::update/) return "foods"
    if (s ~ /drawScreenText|drawText|formatScreenLine|scoreLine|fixedLine/) return "screen text"
    if (s ~ /drawTree/) return "trees"
    if (s ~ /drawFlash/) return "bomb flash"
    if (s ~ /capture|writePPM|readFrame|PPM/) return "capture"
    if (s ~ /Camera::look/) return "clear and view (Camera::look)"
    if (s ~ /checkFeeding|distanceBetween|sphereCentre/) return "collision test"
    if (s ~ /beginPick|endPick|processHits/) return "selection"
    if (s ~ /^onDisplay/) return "scene list and the rest of onDisplay"
    return "benchmark loop"
}
/^[^ \t]/ {
    flush()
    comm = $1
    period = 0
    for (i = 2; i <= NF; i++) if ($i ~ /^[0-9]+$/ && $(i + 1) ~ /^cpu-clock/) period = $i
    n = 0
    next
}
/^[ \t]+[0-9a-f]+ / {
    n++
    line = $0
    d = line; sub(/.*\(/, "", d); sub(/\)[ \t]*$/, "", d); dso[n] = d
    s = line; sub(/^[ \t]+[0-9a-f]+ /, "", s); sub(/ \(.*$/, "", s); sym[n] = s
    next
}
/^$/ { flush() }
END {
    flush()
    ms = 1e-6 / frames
    printf "\n%d frames, %.1f fps (%.1f ms a frame); CPU milliseconds a frame, all threads:\n\n", frames, fps, 1000 / fps
    printf "| %-66s | %8s | %6s |\n", "where", "ms/frame", "share"
    printf "|%s|%s|%s|\n", "--------------------------------------------------------------------", "----------", "--------"
    split("our code|GLU and freeglut|GL driver, game thread (vertex processing, state, binning, swap)|GL driver, rasteriser threads (fragment shading, tile writes)|other (libc, kernel, unresolved)", order, "|")
    for (k = 1; k <= 5; k++)
        printf "| %-66s | %8.2f | %5.1f%% |\n", order[k], total[order[k]] * ms, 100 * total[order[k]] / all
    printf "| %-66s | %8.2f | %5.1f%% |\n", "all", all * ms, 100
    printf "\nThe game thread by step of the frame (our code, GLU, freeglut and the driver under it):\n\n"
    printf "| %-56s | %8s |\n", "step", "ms/frame"
    printf "|%s|%s|\n", "----------------------------------------------------------", "----------"
    cmd = "sort -t\"|\" -k3 -rn"
    for (s in steps) printf "| %-56s | %8.2f |\n", s, steps[s] * ms | cmd
    close(cmd)
    printf "| %-56s | %8.2f |\n", "game thread in all", stepTotal * ms
}'
