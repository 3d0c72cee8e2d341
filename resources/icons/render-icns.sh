#!/bin/sh
# Renders an SVG drawing at 16, 32, 128 and 256 px and packs the four images
# into one icon family file.
# Usage: render-icns.sh DRAWING.svg OUT.icns
set -eu
svg=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" "$svg"
done
png2icns "$out" "$work/16.png" "$work/32.png" "$work/128.png" "$work/256.png" >/dev/null
