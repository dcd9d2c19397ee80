#!/usr/bin/env bash
# Runs a fuzzer for a while over a copy of its committed corpus (the fuzzer adds
# what it finds to the copy, never to the tree); any crash fails the test, and its
# input is left in the work directory.
#   run_fuzzer.sh FUZZER CORPUS WORKDIR SECONDS
set -euo pipefail
fuzzer=$1 corpus=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus"
cp -r "$corpus"/. "$work/corpus/"
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -print_final_stats=1 corpus
