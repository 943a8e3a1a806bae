#!/usr/bin/env bash
# Each workload against its plain-C baseline (bench/baseline.c), side by side:
# the median wall and CPU time of several runs, the ratio of the medians, and
# the peak resident memory.
#   bench/compare.sh [RUNS]   (default 7)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=${1:-7}
build="$root/build-bench"
cmake -S "$root" -B "$build" -DVX_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vxconv vxarchive vxbench_inputs vxbench_baseline vxbench_make_waterfall >/dev/null
conv="$build/vxconv"
base="$build/bench/vxbench_baseline"
archive="$build/vxarchive"
# Lower case only: the converter lower-cases the names it is given.
work="/tmp/vxbench-compare-$$"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
cd "$work"

# One run: "wall cpu rss" (seconds, seconds, kB).
measure() {
    /usr/bin/time -f "%e %U %S %M" -o time.txt "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' time.txt
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Several runs of one command: "wall cpu rss" medians (rss: the largest).
summary() {
    echo "$(cut -d' ' -f1 "$1" | median) $(cut -d' ' -f2 "$1" | median) $(cut -d' ' -f3 "$1" | sort -n | tail -1)"
}

series() {
    : >series.txt
    for ((r = 0; r < runs; ++r)); do measure "$@" >>series.txt; done
    summary series.txt
}

# One workload against its baseline, the runs taking turns so that a change
# in the machine's load falls on both sides alike. The arguments: the name,
# then the converter's command, "--", the baseline's command.
report() {
    local name=$1 ours=() theirs=()
    shift
    while [ "$1" != "--" ]; do ours+=("$1"); shift; done
    shift
    theirs=("$@")
    : >ours.txt
    : >theirs.txt
    for ((r = 0; r < runs; ++r)); do
        measure "${ours[@]}" >>ours.txt
        measure "${theirs[@]}" >>theirs.txt
    done
    read -r w c m <<<"$(summary ours.txt)"
    read -r bw bc bm <<<"$(summary theirs.txt)"
    printf '%-38s vxconv %6.2f s (cpu %5.2f, %6d kB)  baseline %6.2f s (cpu %5.2f, %6d kB)  ratio %.2f\n' \
        "$name" "$w" "$c" "$m" "$bw" "$bc" "$bm" "$(awk -v a="$w" -v b="$bw" 'BEGIN { printf "%.3f", a / b }')"
}

points=2097152
awk -v n=$points 'BEGIN { for (i = 0; i < n; ++i) printf "%.6f\n", sin(i * 0.001) * 0.9 }' >list.txt
awk 'BEGIN { for (i = 0; i < 2048; ++i) printf "%.6f\n", sin(i * 0.001) * 0.9 }' >small.txt
"$conv" list.txt big.56c /Ocap /L2048 >/dev/null
"$conv" small.txt small.56c /Ocap /L2 >/dev/null
"$build/bench/vxbench_inputs" "$work" 1000
header=$(($(stat -c %s big.56c) - 4 * points))
"$build/bench/vxbench_make_waterfall" big.56w 2048

report "1 Capture 2048 kpts -> ASCII" "$conv" big.56c big.asc -- "$base" cap2asc big.56c base.asc "$header"
report "2 number list 2048 kpts -> Capture" "$conv" list.txt out.56c /Ocap /L2048 -- "$base" list2cap list.txt base.cap
report "3 1000 Display files -> ASCII" "$conv" 'many/*.56d' -- "$base" disp2asc 401 many/*.56d
report "4 Waterfall 2048 x 800 lines -> ASCII" "$conv" big.56w wat.asc -- "$base" wat2asc big.56w base.asc 2048 1024 801
# Two worker processes over the files of workload 3 against the one-process
# baseline; --force converts them again in every run.
report "5 vxarchive --jobs 2, workload 3's files" "$archive" many arch --to asc --jobs 2 --force --quiet -- "$base" disp2asc 401 many/*.56d
small=$(series "$conv" small.56c small.asc)
big=$(series "$conv" big.56c big.asc)
echo "peak RSS of workload 1: 2 kpts $(cut -d' ' -f3 <<<"$small") kB, 2048 kpts $(cut -d' ' -f3 <<<"$big") kB"
