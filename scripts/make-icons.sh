#!/usr/bin/env bash
# Draws Mivlet's icons with ImageMagick: a blue speech bubble with two lines
# of white "text". Both icons carry every size Windows asks for between 100 %
# and 200 % scaling (16, 20, 24, 32 and 48 pixels), so that neither is ever
# stretched; the small one's first image is 16, the big one's 32.
# The results are committed under resources/; run this again after a change.
set -euo pipefail
out=$(cd "$(dirname "$0")/../resources" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# bubble SIZE FILE: the design drawn on a 48-unit grid, scaled to SIZE.
bubble() {
  local size=$1 file=$2
  convert -size 192x192 xc:none \
    -fill '#1d5fbf' -stroke '#0b2f66' -strokewidth 8 \
    -draw 'roundrectangle 12,16 180,132 30,30' \
    -draw 'polygon 44,126 36,176 92,128' \
    -stroke none -fill '#1d5fbf' -draw 'rectangle 46,118 88,134' \
    -fill white -draw 'roundrectangle 40,48 152,64 8,8' \
    -draw 'roundrectangle 40,84 124,100 8,8' \
    -resize "${size}x${size}" "$file"
}

for size in 16 20 24 32 48; do bubble "$size" "$tmp/$size.png"; done
convert "$tmp/16.png" "$tmp/20.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$out/MivletSmall.ico"
convert "$tmp/32.png" "$tmp/48.png" "$tmp/24.png" "$tmp/20.png" "$tmp/16.png" "$out/MivletBig.ico"
convert "$tmp/48.png" -scale 400% "$tmp/preview.png" && cp "$tmp/preview.png" "${MIVLET_ICON_PREVIEW:-/dev/null}" 2>/dev/null || true
