#!/usr/bin/env bash
# Builds Marlo.exe and opens its menu on a demo list in a Wine window.
#
# The demo server drive (drive D: and the share \\FILESERVER\APPS) is build/demo/wine/server:
# D:\MENU holds Marlo.exe and an app.txt of a few entries; D:\APPS holds two harmless demo
# programs that show the folder they were started from. With no display, the menu runs on a
# virtual screen and a screenshot is saved to build/demo/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Marlo DemoApp

demo=build/demo
mkdir -p "$demo"
headless=0
[ -n "${DISPLAY:-}" ] || headless=1

scripts/wine-session.sh "$demo" bash -c '
  set -euo pipefail
  server=$MARLO_SERVER_DRIVE
  mkdir -p "$server/MENU" "$server/APPS/CLOCK" "$server/APPS/NOTES"
  cp build/windows/bin/Marlo.exe "$server/MENU/Marlo.exe"
  cp build/windows/bin/DemoApp.exe "$server/APPS/CLOCK/CLOCK.EXE"
  cp build/windows/bin/DemoApp.exe "$server/APPS/NOTES/NOTES.EXE"
  printf "Clock=D:\\\\APPS\\\\CLOCK\\\\CLOCK.EXE\r\nNotes=D:\\\\APPS\\\\NOTES\\\\NOTES.EXE\r\nSales ledger=D:\\\\APPS\\\\SALES\\\\SALES.EXE\r\n" \
    > "$server/MENU/app.txt"
  if [ "$1" = 1 ]; then
    wine "D:\\MENU\\Marlo.exe" &
    sleep 6
    import -display "$DISPLAY" -window root build/demo/screenshot.png
    echo "No display: the menu ran on a virtual screen; screenshot saved to build/demo/screenshot.png"
  else
    echo "The menu is open; the demo server drive is $server"
    wine "D:\\MENU\\Marlo.exe"
  fi
' demo "$headless"
