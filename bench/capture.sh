#!/usr/bin/env bash
# Turns a 2048-kpoint number list into a Capture file and that file into
# ASCII, timing each step and its peak memory (GNU time).
# Usage: bench/capture.sh [build directory]  (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
conv="$(cd "${1:-$root/build}" && pwd)/vxconv"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# 2048 x 1024 values within 1 V full scale.
awk 'BEGIN { for (i = 0; i < 2097152; ++i) printf "%.6f\n", sin(i * 0.001) * 0.9 }' > list.txt

step() {
    local name=$1
    shift
    /usr/bin/time -v "$conv" "$@" > /dev/null 2> time.txt
    local wall rss
    wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' time.txt)
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
    printf '%-22s wall %s  peak RSS %s kB\n' "$name" "$wall" "$rss"
}

step "list -> Capture" list.txt big.56c /Ocap /L2048
step "Capture -> ASCII" big.56c big.asc
ls -l list.txt big.56c big.asc | awk '{ printf "%-10s %12d bytes\n", $9, $5 }'
