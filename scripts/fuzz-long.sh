#!/usr/bin/env bash
# Long fuzzing runs for the reliability figures: every libFuzzer target for RUNS
# executions (default 10,000,000) or SECONDS seconds each (default: no limit),
# whichever comes first, under ASan+UBSan, FUZZ_JOBS side by side (default: one
# per core), each over a copy of its committed corpus. Prints one line per target
# and keeps the logs in build/fuzz-long/.
#   scripts/fuzz-long.sh [RUNS [SECONDS]]
# FUZZ_TARGETS names the targets to run (default: all), FUZZ_MAX_LEN the longest
# input (default 4096).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-10000000}
seconds_limit=${2:-0}
bash scripts/setup.sh || exit 1
cmake -S . -B build/fuzz -DVELQUIN_FUZZ=ON -DVELQUIN_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build build/fuzz -j "$(nproc)" >/dev/null || exit 1
out=build/fuzz-long
jobs=${FUZZ_JOBS:-$(nproc)}
max_len=${FUZZ_MAX_LEN:-4096}
mkdir -p "$out"
fuzz_one() {  # target name; leaves its line in $out/NAME/line.txt
  local name=$1 start rc seconds execs result
  rm -rf "${out:?}/$name" && mkdir -p "$out/$name/corpus"
  cp -r "fuzz/corpus/$name/." "$out/$name/corpus/"
  cp "build/fuzz/fuzz/$name" "$out/$name/fuzzer"
  start=$(date +%s)
  (cd "$out/$name" && ./fuzzer -runs="$runs" -max_total_time="$seconds_limit" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
     -print_final_stats=1 corpus >log.txt 2>&1)
  rc=$?
  seconds=$(( $(date +%s) - start ))
  execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$out/$name/log.txt" | grep -oE '[0-9]+$')
  result=clean; [ $rc = 0 ] || result="FINDING (see $out/$name/log.txt)"
  printf '%-22s %12s %9s %10s %8s  %s\n' "$name" "${execs:-?}" "$seconds" \
    "$(( ${execs:-0} / (seconds > 0 ? seconds : 1) ))" "$max_len" "$result" >"$out/$name/line.txt"
}
# The targets run side by side, FUZZ_JOBS at a time (default: one per core).
names=()
for src in fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  [ -z "${FUZZ_TARGETS:-}" ] || [[ " $FUZZ_TARGETS " == *" $name "* ]] || continue
  names+=("$name")
  fuzz_one "${names[-1]}" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
done
wait
{
  printf '%-22s %12s %9s %10s %8s  %s\n' target executions seconds exec/s max_len result
  for name in "${names[@]}"; do cat "$out/$name/line.txt"; done
} | tee "$out/summary.txt"
! grep -q FINDING "$out/summary.txt"
