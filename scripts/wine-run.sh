#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest and hands back its output and exit code.
# The output goes through a file: Wine's own helper processes (services, the desktop) inherit the
# program's standard handles and outlive it, and a pipe held by them would keep ctest waiting.
set -u
output=$(mktemp)
wine "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
