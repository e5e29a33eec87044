#!/usr/bin/env bash
# Takes the README's pictures again, from the real program under Wine on the demo list:
# docs/screenshot.png (the menu) and docs/options.png (the Options window).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Marlo DemoApp DemoClock snap

shots=build/screenshots
mkdir -p "$shots"
scripts/wine-session.sh "$shots" bash -c '
  set -euo pipefail
  scripts/demo-drive.sh
  snap() { wine build/windows/bin/snap.exe "$@"; }
  wine "D:\\MENU\\Marlo.exe" >/dev/null 2>&1 &
  snap capture MarloMaster "Z:$PWD/build/screenshots/menu.bmp"
  snap click MarloMaster 103
  snap capture MarloOptions "Z:$PWD/build/screenshots/options.bmp"
  snap click MarloOptions 306
  wait
'
convert "$shots/menu.bmp" docs/screenshot.png
convert "$shots/options.bmp" docs/options.png
echo "Wrote docs/screenshot.png and docs/options.png"
