#!/usr/bin/env bash
# Converts 200 copies of the example Display file (an FFT spectrum of 401
# points) to ASCII, MAT and UFF in one run each, timing every run and its peak
# memory (GNU time).
# Usage: bench/trace_writers.sh [build directory]  (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
conv="$(cd "${1:-$root/build}" && pwd)/vxconv"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in $(seq -w 1 200); do cp "$root/examples/fft1.56d" "f$i.56d"; done

step() {
    local name=$1
    shift
    /usr/bin/time -v "$conv" "$@" > /dev/null 2> time.txt
    local wall rss
    wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' time.txt)
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
    printf '%-24s wall %s  peak RSS %s kB\n' "$name" "$wall" "$rss"
}

step "200 Display -> ASCII" "f*.56d" /Oasc
step "200 Display -> MAT" "f*.56d" /Omat
step "200 Display -> UFF" "f*.56d" /Ouff
ls -l f001.asc f001.mat f001.uff | awk '{ printf "%-10s %8d bytes\n", $9, $5 }'
