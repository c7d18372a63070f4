#!/usr/bin/env bash
# Draws the About box's picture with ImageMagick: the speech bubble of the
# icons on a blue band, the name and a line under it; 281 by 73 pixels, 24
# bits per pixel, as a Windows bitmap. The result is committed as
# resources/About.bmp; run this again after a change.
set -euo pipefail
out=$(cd "$(dirname "$0")/../resources" && pwd)/About.bmp
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 192x192 xc:none \
  -fill white -stroke '#0b2f66' -strokewidth 8 \
  -draw 'roundrectangle 12,16 180,132 30,30' \
  -draw 'polygon 44,126 36,176 92,128' \
  -stroke none -fill white -draw 'rectangle 46,118 88,134' \
  -fill '#1d5fbf' -draw 'roundrectangle 40,48 152,64 8,8' \
  -draw 'roundrectangle 40,84 124,100 8,8' \
  -resize 52x52 "$tmp/bubble.png"

convert -size 281x73 gradient:'#2a6fd6-#0b2f66' \
  "$tmp/bubble.png" -geometry +12+11 -composite \
  -fill white -font Helvetica-Bold -pointsize 30 -annotate +76+40 'Mivlet' \
  -fill '#cfe0ff' -font Helvetica -pointsize 11 -annotate +78+58 'Instant messages on your office network' \
  -type TrueColor -depth 8 "BMP3:$out"
echo "$out"
