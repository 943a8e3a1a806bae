#!/usr/bin/env bash
# Builds the fuzz targets, writes the seed corpora, runs every harness for the
# given number of seconds ($VX_FUZZ_PARALLEL at a time, default two) and then
# reruns each corpus.
#   fuzz/run.sh SECONDS [HARNESS...]
# Work files go to $VX_FUZZ_WORK (default build-fuzz/work); findings to its
# artifacts/ directory. The status is nonzero when any harness found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: fuzz/run.sh SECONDS [HARNESS...]}
shift
all=(options settingsfile display displayrt traceout settings caparb numbers multidisk sdf sdfrt
  sdfout waterfall wfcopy qlist spanning ascii library)
if [ "$#" -gt 0 ]; then harnesses=("$@"); else harnesses=("${all[@]}"); fi
build=build-fuzz
work=${VX_FUZZ_WORK:-$build/work}
parallel=${VX_FUZZ_PARALLEL:-2}

cc=$(command -v clang-14 || command -v clang)
cxx=$(command -v clang++-14 || command -v clang++)
cmake -S . -B "$build" -DVX_FUZZ=ON -DBUILD_TESTING=OFF -DVX_WERROR=ON \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$parallel"

mkdir -p "$work/seeds" "$work/artifacts" "$work/logs"
# The harnesses work in a temporary directory of their own: absolute paths.
work=$(cd "$work" && pwd)
"$build/fuzz/make_seeds" "$work/seeds" >/dev/null
# The analyzer files join the SDF seeds (read where they are kept).
for name in sdf sdfout; do
  cp ../shared/testdata/sdf/*.DAT "$work/seeds/$name/" 2>/dev/null || true
done
dict=$PWD/fuzz/vx.dict

fuzz_one() {
  local name=$1 target=$build/fuzz/fuzz_$1
  mkdir -p "$work/corpus/$name"
  # Console text is noise here: stdout is closed, reports go to stderr.
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
    -dict="$dict" -artifact_prefix="$work/artifacts/$name-" -print_final_stats=1 \
    "$work/corpus/$name" "$work/seeds/$name" >"$work/logs/$name.log" 2>&1
}

failed=0
pids=()
names=()
for name in "${harnesses[@]}"; do
  fuzz_one "$name" &
  pids+=($!)
  names+=("$name")
  if [ "${#pids[@]}" -ge "$parallel" ]; then
    for i in "${!pids[@]}"; do
      wait "${pids[$i]}" || { echo "fuzz_${names[$i]}: finding, see $work/logs/${names[$i]}.log"; failed=1; }
    done
    pids=()
    names=()
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || { echo "fuzz_${names[$i]}: finding, see $work/logs/${names[$i]}.log"; failed=1; }
done

# Every corpus once more, so a fix that broke an earlier input shows.
for name in "${harnesses[@]}"; do
  if ! "$build/fuzz/fuzz_$name" -runs=0 -close_fd_mask=1 "$work/corpus/$name" "$work/seeds/$name" \
      >"$work/logs/$name.rerun.log" 2>&1; then
    echo "fuzz_$name: corpus rerun failed, see $work/logs/$name.rerun.log"
    failed=1
  fi
  stats=$(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$work/logs/$name.log" |
    sed 's/^stat:://' | tr '\n' ' ')
  coverage=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/logs/$name.log" | tail -1 |
    grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' || true)
  # With VX_FUZZ_COUNT=1 the target also counts the inputs it accepted.
  accepted=$(grep -o 'vxfuzz: .* accepted' "$work/logs/$name.log" | tail -1 || true)
  echo "fuzz_$name: ${seconds}s, $stats${coverage:+ $coverage}${accepted:+ $accepted}"
done
exit "$failed"
