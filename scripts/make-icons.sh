#!/usr/bin/env bash
# Draws Mivlet's icons with ImageMagick: a blue speech bubble with two lines
# of white "text", the small icon at 16 pixels, the big one at 32 and 48.
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

bubble 16 "$tmp/16.png"
bubble 32 "$tmp/32.png"
bubble 48 "$tmp/48.png"
convert "$tmp/16.png" "$out/MivletSmall.ico"
convert "$tmp/32.png" "$tmp/48.png" "$out/MivletBig.ico"
convert "$tmp/48.png" -scale 400% "$tmp/preview.png" && cp "$tmp/preview.png" "${MIVLET_ICON_PREVIEW:-/dev/null}" 2>/dev/null || true
