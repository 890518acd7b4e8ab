#!/usr/bin/env bash
# Renders the PNG sizes of the icon from clausewright.svg into hicolor/SIZExSIZE/apps/.
# Needs rsvg-convert (Debian package librsvg2-bin). Run it after changing the SVG and commit the
# PNGs: the build uses the committed files.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" clausewright.svg \
        --output "hicolor/${size}x${size}/apps/clausewright.png"
done
