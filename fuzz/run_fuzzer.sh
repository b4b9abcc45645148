#!/bin/bash
# Runs one fuzz target for a while over its seeds and a growing corpus of its own.
# Usage: run_fuzzer.sh <fuzzer> <seconds> <work folder> <dictionary> <seed folder>...
# Crash inputs land in <work folder>/artifacts/; the exit code is the fuzzer's.
set -euo pipefail

fuzzer=$1
seconds=$2
work=$3
dictionary=$4
shift 4

mkdir -p "$work/corpus" "$work/artifacts"
seeds=()
for folder in "$@"; do
  [ -d "$folder" ] && seeds+=("$folder")
done

# New inputs go into the first folder only, so the seeds in the tree stay as they are.
exec "$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -dict="$dictionary" -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "${seeds[@]}"
