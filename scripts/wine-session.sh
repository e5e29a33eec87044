#!/usr/bin/env bash
# Runs one command inside the project's own Wine session, then cleans up what it started.
#
#   scripts/wine-session.sh BUILD_DIR COMMAND [ARGS...]
#   MARLO_WINE_DPI=120 scripts/wine-session.sh ...   the same on a screen of 120 dots per inch
#
# The session: a private prefix under BUILD_DIR/wine, a virtual desktop (so real mouse and keyboard
# input reaches the windows), its own Xvfb when there is no display, and the "server drive": one
# scratch folder seen as drive D: and as the share \\FILESERVER\APPS, as an office's server and
# its clients see it. A second scratch folder is drive E:. Inside COMMAND, MARLO_SERVER_DRIVE holds
# the Linux path of the server drive. The server drive is also drive M:, which Wine reports as a
# network drive, as a workstation's mapped drive to the share is. Every process started here is
# ended by its id afterwards.
set -euo pipefail

build_dir=$(realpath "$1")
shift
wine_dir="$build_dir/wine"
dpi=${MARLO_WINE_DPI:-96}
if [ "$dpi" = 96 ]; then
  export WINEPREFIX="$wine_dir/prefix"
else
  export WINEPREFIX="$wine_dir/prefix-${dpi}dpi"
fi
export WINEDEBUG=-all
export MARLO_SERVER_DRIVE="$wine_dir/server"
mkdir -p "$wine_dir" "$MARLO_SERVER_DRIVE" "$wine_dir/other"

xvfb_pid=""
server_pid=""
# Tests make files and folders of the scratch drives unchangeable (chattr +i); none stays so.
unlock_scratch() { chattr -R -i "$MARLO_SERVER_DRIVE" "$wine_dir/other" 2>/dev/null || true; }
cleanup() {
  unlock_scratch
  if [ -n "$server_pid" ]; then
    wineserver -k 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$server_pid" 2>/dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
fi

start_server() {
  wineserver -f -p >/dev/null 2>&1 &
  server_pid=$!
  sleep 0.3
}
stop_server() {
  wineserver -k 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}

if [ ! -f "$WINEPREFIX/.marlo-ready-2" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX ..."
  start_server
  wineboot -i >/dev/null 2>&1
  # One virtual desktop for every program of the prefix.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # The screen's density, which Wine reads when a session starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # Drive M: is a network drive (read when the wineserver starts).
  wine reg add 'HKLM\Software\Wine\Drives' /v m: /d network /f >/dev/null 2>&1
  stop_server
  touch "$WINEPREFIX/.marlo-ready-2"
fi

unlock_scratch
ln -sfn "$MARLO_SERVER_DRIVE" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$MARLO_SERVER_DRIVE" "$WINEPREFIX/dosdevices/m:"
ln -sfn "$wine_dir/other" "$WINEPREFIX/dosdevices/e:"
mkdir -p "$WINEPREFIX/dosdevices/unc/FILESERVER"
ln -sfn "$MARLO_SERVER_DRIVE" "$WINEPREFIX/dosdevices/unc/FILESERVER/APPS"

start_server
"$@"
