#!/usr/bin/env bash
# A slow share for the benchmarks: the scratch server drive again, through a FUSE pass-through file
# system (tests/bench/slowfs/slowfs.c) that waits in every file operation it serves and counts them.
#
#   scripts/slow-share.sh build                       builds build/slowfs/slowfs (gcc, pkg-config)
#   scripts/slow-share.sh [--delay MS] [--trace FILE] COMMAND [ARGS...]
#       inside scripts/wine-session.sh: mounts the server drive at BUILD_DIR/wine/slowshare, waiting
#       MS milliseconds (10) in every operation, shows it to Wine as the share \\SLOWSERVER\APPS,
#       runs COMMAND, then unmounts it and ends the file system's process by its id (also when
#       COMMAND fails or the script is interrupted). --trace: one line an operation in FILE (its
#       time, kind and file), to see what a program's operations are spent on.
#
# Inside COMMAND: MARLO_SLOW_SHARE is the share (\\SLOWSERVER\APPS), MARLO_SLOW_COUNTS the Windows
# path of the counts (E:\SLOWSHARE\counts.txt, on an ordinary drive, so reading them costs the
# slow share nothing), MARLO_SLOW_DELAY_MS the wait. The counts file is "total N" and then one
# "KIND N" line a kind of operation, rewritten in place, at the same length, after every operation.
# Needs FUSE: scripts/install-deps.sh bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
slowfs="$root/build/slowfs/slowfs"
source_file="$root/tests/bench/slowfs/slowfs.c"

build() {
  if [ ! -x "$slowfs" ] || [ "$source_file" -nt "$slowfs" ]; then
    mkdir -p "$(dirname "$slowfs")"
    # shellcheck disable=SC2046  # pkg-config's flags are words
    gcc -std=gnu11 -O2 -Wall -Wextra -o "$slowfs" "$source_file" $(pkg-config --cflags --libs fuse3)
  fi
}

if [ "${1:-}" = build ]; then
  build
  exit 0
fi

delay=10
trace=()
while [ $# -gt 1 ]; do
  case $1 in
    --delay) delay=$2; shift 2 ;;
    --trace) trace=(--trace="$(realpath "$2")"); shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 build | [--delay MS] [--trace FILE] COMMAND [ARGS...]" >&2; exit 2; }
: "${WINEPREFIX:?run inside scripts/wine-session.sh}" "${MARLO_SERVER_DRIVE:?run inside scripts/wine-session.sh}"
build

wine_dir=$(dirname "$MARLO_SERVER_DRIVE")
mount_point="$wine_dir/slowshare"
share_link="$WINEPREFIX/dosdevices/unc/SLOWSERVER/APPS"
other_drive=$(readlink -f "$WINEPREFIX/dosdevices/e:")
counts="$other_drive/SLOWSHARE/counts.txt"
log="$wine_dir/slowfs.log"

mounted() { grep -q " $mount_point fuse" /proc/self/mounts; }

daemon_pid=""
stop() {
  rm -f "$share_link"
  if mounted; then
    # Wine may still hold a file of the share for a moment after its last program ended.
    for _ in $(seq 30); do fusermount3 -u "$mount_point" 2>/dev/null && break; sleep 0.1; done
    if mounted; then
      echo "slow share: still in use, detached lazily" >&2
      fusermount3 -u -z "$mount_point" 2>/dev/null || true
    fi
  fi
  if [ -n "$daemon_pid" ]; then
    for _ in $(seq 50); do kill -0 "$daemon_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$daemon_pid" 2>/dev/null; then
      kill "$daemon_pid" 2>/dev/null || true
      for _ in $(seq 30); do kill -0 "$daemon_pid" 2>/dev/null || break; sleep 0.1; done
      kill -KILL "$daemon_pid" 2>/dev/null || true
    fi
    wait "$daemon_pid" 2>/dev/null || true
    daemon_pid=""
  fi
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A mount left by a run that was killed outright (its process gone) is taken away first.
if mounted; then fusermount3 -u -z "$mount_point" 2>/dev/null || true; fi
mkdir -p "$mount_point" "$(dirname "$counts")" "$(dirname "$share_link")"

"$slowfs" -f --delay="$delay" --counts="$counts" "${trace[@]}" "$MARLO_SERVER_DRIVE" "$mount_point" \
  >"$log" 2>&1 </dev/null &
daemon_pid=$!
for _ in $(seq 100); do
  mounted && break
  kill -0 "$daemon_pid" 2>/dev/null || break
  sleep 0.05
done
if ! mounted; then
  echo "slow share: the file system did not mount:" >&2
  cat "$log" >&2
  exit 1
fi
ln -sfn "$mount_point" "$share_link"

export MARLO_SLOW_SHARE='\\SLOWSERVER\APPS'
export MARLO_SLOW_COUNTS='E:\SLOWSHARE\counts.txt'
export MARLO_SLOW_DELAY_MS="$delay"
"$@"
