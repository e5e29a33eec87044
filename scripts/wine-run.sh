#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest and hands back its output and exit code.
# The output goes through a file: Wine's own helper processes (services, the desktop) inherit the
# program's standard handles and outlive it, and a pipe held by them would keep ctest waiting.
#
# A test program always prints before it does anything else. When Wine ends without a byte of
# output, the program never ran (Wine could not start it at that moment): that is said, and the
# program is run once more, so that a hiccup of Wine's start is told apart from a failing test.
set -u
output=$(mktemp)
for attempt in 1 2; do
  started=$(date +%s.%N)
  wine "$@" >"$output" 2>&1 </dev/null
  status=$?
  if [ -s "$output" ] || [ "$status" = 0 ]; then break; fi
  echo "wine-run: $* ended with status $status and no output after" \
    "$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }') s (attempt $attempt)"
  sleep 1
done
cat "$output"
rm -f "$output"
exit "$status"
