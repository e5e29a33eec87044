#!/usr/bin/env bash
# Runs the benchmarks and prints their figures; none of them fails on a slow machine.
#   native: the menu's list reader on a 50 MB list against a plain memchr line split, and GetPiece
#           on 1 MB of text (Google Benchmark)
#   Wine:   the menu's start-up to ready against two bare windows (plain fill; redraw off and
#           storage reserved) and a third with the menu's manifest, on 10, 1,000 and 100,000
#           entries and 50 MB of arbitrary bytes, with the peak working sets and exe sizes; and
#           the Options window opening on 100,000 rows with and without the marks of missing
#           programs
#   scripts/bench.sh [rounds]     (rounds of the start-up benchmark; 5 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target core_benchmarks
cmake --preset windows >/dev/null
cmake --build --preset windows --target startup_bench options_open_bench

echo "== Text handling (native)"
build/native/core_benchmarks --benchmark_min_time=0.5

echo "== Windows under Wine"
scripts/wine-session.sh build/windows bash -c '
  output=$(mktemp)
  wine build/windows/bin/startup_bench.exe '"$rounds"' >"$output" 2>&1
  wine build/windows/bin/options_open_bench.exe >>"$output" 2>&1
  cat "$output"
  rm -f "$output"
'
