#!/usr/bin/env bash
# Draws the menu's icon, src/platform/marlo.ico (16, 24, 32, 48 and 256 pixels): a blue tile with
# the menu on it, a highlighted first entry in the menu's light red and two more entries below.
# Also the demo clock program's icon, demo/clock.ico (16, 20, 24, 32, 48): a clock face.
# Run it again after changing the drawing; the .ico files are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 24 32 48 256; do
  s() { echo $(( $1 * size / 32 )); }   # places on a 32-pixel grid, scaled to the size
  convert -size ${size}x${size} xc:none \
    -fill '#0000C0' -stroke '#000080' -strokewidth "$(( size >= 48 ? size / 24 : 1 ))" \
    -draw "roundrectangle $(s 1),$(s 1) $(( size - 1 - $(s 1) )),$(( size - 1 - $(s 1) )) $(s 6),$(s 6)" \
    -stroke none \
    -fill '#FFC0C0' -draw "rectangle $(s 6),$(s 7) $(( $(s 26) - 1 )),$(( $(s 13) - 1 ))" \
    -fill '#FFFFFF' -draw "rectangle $(s 6),$(s 16) $(( $(s 22) - 1 )),$(( $(s 19) - 1 ))" \
    -fill '#FFFFFF' -draw "rectangle $(s 6),$(s 22) $(( $(s 18) - 1 )),$(( $(s 25) - 1 ))" \
    -fill '#FFFF80' -draw "rectangle $(s 8),$(s 9) $(( $(s 20) - 1 )),$(( $(s 11) - 1 ))" \
    -depth 8 "$work/icon-$size.png"
done
convert "$work"/icon-16.png "$work"/icon-24.png "$work"/icon-32.png "$work"/icon-48.png \
  "$work"/icon-256.png src/platform/marlo.ico
echo "Wrote src/platform/marlo.ico"

for size in 16 20 24 32 48; do
  s() { echo $(( $1 * size / 32 )); }
  convert -size ${size}x${size} xc:none \
    -fill '#FFF4C0' -stroke '#806000' -strokewidth "$(( size >= 32 ? 2 : 1 ))" \
    -draw "circle $(( size / 2 )),$(( size / 2 )) $(( size / 2 )),$(s 2)" \
    -stroke '#202020' -strokewidth "$(( size >= 32 ? 2 : 1 ))" \
    -draw "line $(( size / 2 )),$(( size / 2 )) $(( size / 2 )),$(s 8)" \
    -draw "line $(( size / 2 )),$(( size / 2 )) $(s 22),$(( size / 2 ))" \
    -depth 8 "$work/clock-$size.png"
done
convert "$work"/clock-16.png "$work"/clock-20.png "$work"/clock-24.png "$work"/clock-32.png \
  "$work"/clock-48.png demo/clock.ico
echo "Wrote demo/clock.ico"
