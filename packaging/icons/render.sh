#!/usr/bin/env bash
# Renders the icon's PNG sizes from the SVG (needs rsvg-convert, from
# librsvg2-bin). Run after changing the SVG; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p hicolor/${size}x${size}/apps
  rsvg-convert -w $size -h $size io.github.pellucar.pellucar.svg -o hicolor/${size}x${size}/apps/io.github.pellucar.pellucar.png
done
