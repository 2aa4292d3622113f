#!/usr/bin/env bash
# Draws the application and tray icon (group 128): one keyboard key seen from above,
# its cap lettered "K7". 256 px in 32, 8 and 4 bits per pixel, and 128, 96, 72, 64,
# 48, 32, 24, 16 px in 32 bits, packed by make-ico.py into src/res/app.ico.
# Re-run after changing the artwork: bash src/res/art/make-app-icon.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
res=$(dirname "$here")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$here/fonts.sh"
bold=$(liberation LiberationSans-Bold)

# The key at 512 px: a shadow, the key's skirt, its dished top and the legend.
convert -size 512x512 xc:none \
  -fill '#00000055' -draw 'roundrectangle 36,52 484,500 70,70' \
  -fill '#1c2029' -draw 'roundrectangle 28,28 484,484 72,72' \
  -fill '#2e3440' -draw 'roundrectangle 40,36 472,458 64,64' \
  -fill '#4c566a' -draw 'roundrectangle 92,72 420,388 48,48' \
  -fill '#5e6a82' -draw 'roundrectangle 104,80 408,368 40,40' \
  -font "$bold" -pointsize 170 -fill '#e8a72c' -gravity center -annotate +0-30 'K7' \
  "$tmp/key.png"

images=()
for size in 256 128 96 72 64 48 32 24 16; do
  src="$tmp/key-$size"
  convert "$tmp/key.png" -filter Lanczos -resize "${size}x$size" "$src.png"
  convert "$src.png" -depth 8 rgba:"$src-32.rgba"
  images+=("$size:32:$src-32.rgba")
done
# The 256 px image also in palette forms, for displays with few colours.
src="$tmp/key-256"
# Palette images keep the whole alpha, so that make-ico.py cuts their mask exactly
# where the 32-bit image turns transparent; one colour stays free for black.
convert "$src.png" -alpha extract "$src-alpha.png"
for bpp in 8 4; do
  convert "$src.png" -background '#1c2029' -alpha remove +dither -colors $(((1 << bpp) - 1)) \
    "$src-alpha.png" -alpha off -compose CopyOpacity -composite -depth 8 rgba:"$src-$bpp.rgba"
done
images=("${images[0]}" "256:8:$src-8.rgba" "256:4:$src-4.rgba" "${images[@]:1}")
python3 "$here/make-ico.py" "$res/app.ico" "${images[@]}"
