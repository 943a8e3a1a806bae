#!/usr/bin/env bash
# Extracts every slice of a 2048-slice, 800-line Waterfall file to ASCII and
# reports the median wall time of several runs and the peak resident memory
# (GNU time). The file is made by a small generator over the test fixture.
# Usage: bench/waterfall.sh [runs]  (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=${1:-5}
build="$root/build-bench"
cmake -S "$root" -B "$build" -DVX_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vxconv vxbench_make_waterfall >/dev/null
conv="$build/vxconv"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/bench/vxbench_make_waterfall" big.56w 2048

walls=()
peak=0
for ((i = 0; i < runs; ++i)); do
  rm -f big.asc qrblog.txt
  /usr/bin/time -v "$conv" big.56w big.asc > /dev/null 2> time.txt
  wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' time.txt)
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
  # m:ss.ss to seconds
  walls+=("$(awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }' <<<"$wall")")
  ((rss > peak)) && peak=$rss
done
median=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
printf 'Waterfall -> ASCII, 2048 slices x 801 lines: median wall %s s of %d runs (%s)  peak RSS %s kB\n' \
  "$median" "$runs" "${walls[*]}" "$peak"
ls -l big.56w big.asc | awk '{ printf "%-10s %12d bytes\n", $9, $5 }'
