#!/usr/bin/env bash
# Runs the benchmarks of a build configured with -DSKYVIGIL_BUILD_BENCH=ON.
# Usage: bench/run.sh BUILD_DIR [benchmark options, e.g. --benchmark_filter=Cities]
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD_DIR [benchmark options]" >&2
  exit 2
fi
build_dir=$1
shift

cmake --build "$build_dir" --target skyvigil_bench
exec "$build_dir/bench/skyvigil_bench" "$@"
