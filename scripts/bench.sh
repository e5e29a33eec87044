#!/usr/bin/env bash
# Runs the benchmarks and prints their figures; none of them fails on a slow machine.
#   native: the menu's list reader on a 50 MB list against a plain memchr line split, GetPiece
#           on 1 MB of text, and a menu of 1,000 entries with audiences against one without
#           (Google Benchmark)
#   Wine:   the menu's start-up to ready against two bare windows (plain fill; redraw off and
#           storage reserved) and a third with the menu's manifest, on 10, 1,000 and 100,000
#           entries and 50 MB of arbitrary bytes, with the peak working sets and exe sizes (and
#           against a bare window that reads its list on a thread of its own; and 1,000 entries each
#           with an audience); the Options window
#           opening on 100,000 rows with and without the marks of missing programs; and a start
#           from the menu as a client on a slow share (scripts/slow-share.sh: the server drive
#           through a FUSE file system that waits 10 ms in every operation and counts them)
#           against a bare SetCurrentDirectoryW + CreateProcessW, in time and file operations; and
#           the time until every icon on screen is drawn, from the drive and through the slow
#           share, with the peak working set against the same menu drawing none, and through the
#           slow share a menu of 10 icons against reading them one after another and all at once
#   scripts/bench.sh [rounds [start_rounds]]   (rounds of the start-up benchmark, 5 by default; of
#                                              the start benchmark, 9 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
start_rounds=${2:-9}

scripts/install-deps.sh bench
cmake --preset native >/dev/null
cmake --build --preset native --target core_benchmarks
cmake --preset windows >/dev/null
cmake --build --preset windows --target startup_bench options_open_bench start_bench icons_bench
scripts/slow-share.sh build

echo "== Text handling (native)"
build/native/core_benchmarks --benchmark_min_time=0.5

echo "== Windows under Wine"
scripts/wine-session.sh build/windows bash -c '
  output=$(mktemp)
  wine build/windows/bin/startup_bench.exe '"$rounds"' >"$output" 2>&1
  wine build/windows/bin/options_open_bench.exe >>"$output" 2>&1
  echo >>"$output"
  scripts/slow-share.sh wine build/windows/bin/start_bench.exe '"$start_rounds"' >>"$output" 2>&1
  echo >>"$output"
  scripts/slow-share.sh wine build/windows/bin/icons_bench.exe >>"$output" 2>&1
  cat "$output"
  rm -f "$output"
'
