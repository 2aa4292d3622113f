#!/usr/bin/env bash
# Draws the warning dialog's three pictures and the tray menu icons into src/res.
# Re-run after changing the artwork: bash src/res/art/make-artwork.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
res=$(dirname "$here")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$here/fonts.sh"
sans=$(liberation LiberationSans-Regular)
bold=$(liberation LiberationSans-Bold)

# ---- Warning dialog: face (138), hover (139), pressed (137), all 320 x 160.
# The face without its buttons; each picture then gets the buttons in its own look.
# The face tells what happened (applying stopped at that key, which keeps what it had; the
# keys after it were not applied; K7 Config was told) and what to do. Both buttons only
# close the warning, so neither is labelled as if it could undo anything.
convert -size 320x160 gradient:'#39414f'-'#20242b' \
  -fill '#16191e' -draw 'rectangle 0,0 319,38' \
  -fill '#e0a030' -draw 'rectangle 0,39 319,40' \
  -fill none -stroke '#5b6578' -draw 'rectangle 0,0 319,159' -stroke none \
  -font "$bold" -pointsize 13 -fill '#f2f4f7' -annotate +14+25 'Combination keys full' \
  -fill '#e8a72c' -stroke '#8a5a10' -strokewidth 1.5 -draw 'roundrectangle 18,60 54,94 3,3' -stroke none \
  -fill '#e8a72c' -draw 'polygon 36,54 58,96 14,96' \
  -fill '#20242b' -font "$bold" -pointsize 22 -annotate +32+91 '!' \
  -font "$bold" -pointsize 12 -fill '#f2f4f7' -annotate +72+58 'All 8 combination slots are in use.' \
  -font "$sans" -pointsize 11 -fill '#c9ced8' \
  -annotate +72+76 'Applying stopped at the key whose combination' \
  -annotate +72+89 'did not fit: the keyboard keeps that key as it' \
  -annotate +72+102 'was, and the keys after it were not applied.' \
  -annotate +72+115 'K7 Config was told its assignment was reset.' \
  -font "$bold" -pointsize 10 -fill '#e8a72c' \
  -annotate +14+130 'Free a combination slot in' -annotate +14+143 'K7 Config, then apply again.' \
  "$tmp/face.png"
# Undo the rounded box drawn only to thicken the triangle's outline.
convert "$tmp/face.png" \( -size 320x160 gradient:'#39414f'-'#20242b' -crop 60x50+10+50 +repage \) \
  -geometry +10+50 -composite \
  -fill '#8a5a10' -draw 'polygon 36,51 61,98 11,98' \
  -fill '#e8a72c' -draw 'polygon 36,55 57,96 15,96' \
  -fill '#20242b' -font "$bold" -pointsize 24 -annotate +32+92 '!' \
  -depth 8 "$tmp/face.png"
# At 8 bits per channel already, the face comes out of the RGB (138, 139) and the RGBA (137)
# encoders alike: from the gradient's 16 bits they round differently.

# button NAME W H FILL EDGE TEXT TEXTCOLOUR SHIFT
button() {
  convert -size "$2x$3" xc:none -fill "$4" -stroke "$5" -draw "roundrectangle 0,0 $(($2 - 1)),$(($3 - 1)) 3,3" \
    -stroke none -font "$bold" -pointsize 11 -fill "$7" -gravity center -annotate "+0+$8" "$6" "$tmp/$1.png"
}
# corner NAME FILL CROSS: the small close button near the top-right corner
corner() {
  convert -size 15x13 xc:none -fill "$2" -draw 'roundrectangle 0,0 14,12 2,2' \
    -stroke "$3" -strokewidth 1.6 -draw 'line 4.5,3.5 10.5,9.5' -draw 'line 10.5,3.5 4.5,9.5' "$tmp/$1.png"
}
# picture OUT STATE FORMAT
picture() {
  convert "$tmp/face.png" "$tmp/ok-$2.png" -geometry +173+120 -composite \
    "$tmp/close-$2.png" -geometry +240+120 -composite \
    "$tmp/corner-$2.png" -geometry +292+13 -composite -define png:exclude-chunks=date,time "$3:$res/$1"
}
button ok-normal 42 21 '#4a5366' '#6d7890' OK '#f2f4f7' 0
button close-normal 44 21 '#4a5366' '#6d7890' Close '#f2f4f7' 0
corner corner-normal none '#aab2c0'
button ok-hover 42 21 '#5d6f94' '#e0a030' OK '#ffffff' 0
button close-hover 44 21 '#5d6f94' '#e0a030' Close '#ffffff' 0
corner corner-hover '#c8463c' '#ffffff'
button ok-pressed 42 21 '#2c3342' '#e0a030' OK '#e0a030' 1
button close-pressed 44 21 '#2c3342' '#e0a030' Close '#e0a030' 1
corner corner-pressed '#8e2d26' '#f2c0bc'
picture combwarn-face.png normal PNG24
picture combwarn-hover.png hover PNG24
picture combwarn-pressed.png pressed PNG32

# ---- Tray menu icons 129-132: a gear (configuration) and a power sign (exit),
# normal and highlighted, each at 48, 32, 24, 16 pixels in 32, 8 and 4 bits and
# 48, 32, 16 pixels in 1 bit.
gear() {  # OUT BODY EDGE HOLE
  convert -size 192x192 xc:none -fill "$2" -stroke "$3" -strokewidth 6 \
    -draw 'translate 96,96 rotate 0 rectangle -17,-86 17,86' \
    -draw 'translate 96,96 rotate 45 rectangle -17,-86 17,86' \
    -draw 'translate 96,96 rotate 90 rectangle -17,-86 17,86' \
    -draw 'translate 96,96 rotate 135 rectangle -17,-86 17,86' \
    -draw 'circle 96,96 96,30' -stroke none \
    -draw 'translate 96,96 rotate 0 rectangle -14,-83 14,83' \
    -draw 'translate 96,96 rotate 45 rectangle -14,-83 14,83' \
    -draw 'translate 96,96 rotate 90 rectangle -14,-83 14,83' \
    -draw 'translate 96,96 rotate 135 rectangle -14,-83 14,83' \
    -draw 'circle 96,96 96,33' \
    -fill "$4" -stroke "$3" -strokewidth 6 -draw 'circle 96,96 96,68' "$1"
}
power() {  # OUT RING EDGE: a ring open at the top (cut out through its alpha) and a bar
  convert -size 192x192 xc:none -fill none -stroke "$3" -strokewidth 30 -draw 'circle 96,100 96,34' \
    -stroke "$2" -strokewidth 20 -draw 'circle 96,100 96,34' \
    \( +clone -alpha extract -stroke none -fill black -draw 'polygon 96,100 40,-10 152,-10' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -stroke "$3" -strokewidth 30 -draw 'line 96,12 96,90' -stroke "$2" -strokewidth 20 -draw 'line 96,17 96,85' "$1"
}
gear "$tmp/129.png" '#6b7a94' '#3a4558' '#dfe3ea'
gear "$tmp/130.png" '#2f6fd0' '#003c91' '#ffffff'
power "$tmp/131.png" '#c0504a' '#7a2520'
power "$tmp/132.png" '#e8453a' '#8e1a12'

for id in 129 130 131 132; do
  images=()
  for size in 48 32 24 16; do
    src="$tmp/$id-$size"
    convert "$tmp/$id.png" -filter Lanczos -resize "${size}x$size" "$src.png"
    convert "$src.png" -depth 8 rgba:"$src-32.rgba"
    # Palette images keep the whole alpha, so that make-ico.py cuts their mask exactly
    # where the 32-bit image turns transparent; one colour stays free for black.
    convert "$src.png" -alpha extract "$src-alpha.png"
    for bpp in 8 4; do
      convert "$src.png" -background '#d0d0d8' -alpha remove +dither -colors $(((1 << bpp) - 1)) \
        "$src-alpha.png" -alpha off -compose CopyOpacity -composite -depth 8 rgba:"$src-$bpp.rgba"
    done
    images+=("$size:32:$src-32.rgba" "$size:8:$src-8.rgba" "$size:4:$src-4.rgba")
  done
  for size in 48 32 16; do images+=("$size:1:$tmp/$id-$size-32.rgba"); done
  python3 "$here/make-ico.py" "$res/menu-$id.ico" "${images[@]}"
done
