#!/usr/bin/env bash
# Renders res/skyrelay.svg into the hicolor theme sizes the package installs. The PNGs are
# committed, so a build needs no SVG renderer; run this again after changing the SVG.
# Needs ImageMagick and rsvg-convert (librsvg2-bin), its SVG delegate.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128 256; do
  out="res/icons/hicolor/${size}x${size}/apps/skyrelay.png"
  mkdir -p "$(dirname "$out")"
  # -strip keeps the file free of dates, so the same SVG gives the same bytes.
  convert -background none -density $((96 * size / 64 * 2)) res/skyrelay.svg \
    -resize "${size}x${size}" -strip "PNG32:$out"
done
