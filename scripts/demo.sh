#!/usr/bin/env bash
# Builds Marlo.exe and opens its menu on a demo list in a Wine window.
#
# The demo server drive (drive D: and the share \\FILESERVER\APPS) is build/demo/wine/server; see
# scripts/demo-drive.sh for what it holds. With no display, the menu runs on a virtual screen and
# a screenshot is saved to build/demo/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Marlo DemoApp DemoClock

demo=build/demo
mkdir -p "$demo"
headless=0
[ -n "${DISPLAY:-}" ] || headless=1

scripts/wine-session.sh "$demo" bash -c '
  set -euo pipefail
  scripts/demo-drive.sh
  if [ "$1" = 1 ]; then
    wine "D:\\MENU\\Marlo.exe" &
    sleep 6
    import -display "$DISPLAY" -window root build/demo/screenshot.png
    echo "No display: the menu ran on a virtual screen; screenshot saved to build/demo/screenshot.png"
  else
    echo "The menu is open; the demo server drive is $MARLO_SERVER_DRIVE"
    wine "D:\\MENU\\Marlo.exe"
  fi
' demo "$headless"
