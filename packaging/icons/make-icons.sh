#!/usr/bin/env bash
# Renders Velkor's icon from velkor.svg: the PNG sizes of the desktop icon theme
# and a multi-size Windows icon. The results are committed, so a build needs
# neither tool; run this after changing the SVG.
# Needs the Debian packages librsvg2-bin (rsvg-convert) and imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
sizes=(16 24 32 48 64 128 256)
mkdir -p png
for size in "${sizes[@]}"; do
    rsvg-convert --width "$size" --height "$size" velkor.svg --output "png/velkor-$size.png"
done
# The full path: an unrelated "convert" may come earlier on PATH.
/usr/bin/convert png/velkor-{16,24,32,48,64,256}.png velkor.ico
