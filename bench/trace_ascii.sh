#!/usr/bin/env bash
# Display files to ASCII in-process (Google Benchmark): an 800-line spectrum
# and a 2048-point time record, default columns and several columns.
# Usage: bench/trace_ascii.sh [benchmark options]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DVX_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vxbench_trace >/dev/null
"$build/bench/vxbench_trace" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
