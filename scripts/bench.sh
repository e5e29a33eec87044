#!/usr/bin/env bash
# Runs the benchmarks and prints their figures; none of them fails on a slow machine.
#   native: cutting text and reading the list file (Google Benchmark)
#   Wine:   the Options window opening on 100,000 rows, with and without the marks of missing
#           programs
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target core_benchmarks
cmake --preset windows >/dev/null
cmake --build --preset windows --target options_open_bench

echo "== Text handling (native)"
build/native/core_benchmarks --benchmark_min_time=0.2

echo "== Windows under Wine"
scripts/wine-session.sh build/windows bash -c '
  output=$(mktemp)
  wine build/windows/bin/options_open_bench.exe >"$output" 2>&1
  cat "$output"
  rm -f "$output"
'
