#!/usr/bin/env bash
# Reads the generated atlas back with ImageMagick, as a stranger to its generator would.
#   check_atlas.sh TEX.tga
set -euo pipefail
atlas=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
[[ -f $atlas ]] || fail "no atlas at $atlas"

header=$(od -An -tu1 -N18 "$atlas" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')
[[ $header == "0 0 2 0 0 0 0 0 0 0 0 0 0 4 0 4 32 8" ]] || fail "header bytes are '$header'"
size=$(stat -c %s "$atlas")
(( size == 18 + 1024 * 1024 * 4 )) || fail "file holds $size bytes"

read -r width height channels < <(identify -format '%w %h %[channels]\n' "$atlas")
[[ $width == 1024 && $height == 1024 ]] || fail "read as ${width}x${height}"
[[ $channels == srgba* ]] || fail "read with channels '$channels', no alpha"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Right way up: the first image row is now the atlas's top, t = 1.
convert "$atlas" -auto-orient "$work/atlas.png"

# alpha GEOMETRY FORMAT: one statistic of the alpha channel of a region (0..1).
alpha() { convert "$work/atlas.png" -crop "$1" +repage -alpha extract -format "$2" info:; }
expect() { awk -v v="$2" "BEGIN { exit !(v $3) }" || fail "$1: $2 is not $3"; }

# Backdrop from t 0.39 up: opaque everywhere, and not a flat colour.
expect "backdrop minimum alpha" "$(alpha 1024x634+0+0 '%[fx:minima]')" "== 1"
expect "backdrop brightness spread" "$(convert "$work/atlas.png" -crop 1024x614+0+0 +repage -colorspace gray -format '%[fx:standard_deviation]' info:)" "> 0.03"
# Rows just above card 2 stay clear, so the card's top edge filters in nothing.
expect "gap above card 2" "$(alpha 1024x17+0+648 '%[fx:maxima]')" "== 0"

# Card 2 (t 0.175..0.35, image rows 665..844) is only on screen up to s 0.85;
# card 1 (t 0..0.175, image rows 845..1023) only from s 0.15.
expect "card 2 beyond s 0.85" "$(alpha 153x180+871+665 '%[fx:maxima]')" "== 0"
expect "card 2 text" "$(alpha 871x180+0+665 '%[fx:maxima]')" "> 0.9"
expect "card 1 before s 0.15" "$(alpha 154x179+0+845 '%[fx:maxima]')" "== 0"
expect "card 1 text" "$(alpha 870x179+154+845 '%[fx:maxima]')" "> 0.9"
for edge in 1024x1+0+665 1024x1+0+844 1024x1+0+845 1024x1+0+1023; do
  expect "card edge row $edge" "$(alpha "$edge" '%[fx:maxima]')" "== 0"
done

# Card 1 reads "quorvane": upright, the q's descender hangs below the u beside it
# while both share the x-height line. Flipped or mirrored text fails this.
box() { convert "$work/atlas.png" -crop "$1" +repage -alpha extract -threshold 60% -format '%@\n' info:; }
IFS='x+' read -r inkW inkH inkX inkY < <(box 1024x179+0+845)
IFS='x+' read -r qW qH qX qY < <(box "$((inkW * 11 / 100))x179+${inkX}+845")
IFS='x+' read -r uW uH uX uY < <(box "$((inkW * 9 / 100))x179+$((inkX + inkW * 145 / 1000))+845")
(( qY - uY <= 4 && uY - qY <= 4 )) || fail "title letters do not share a top line (q at $qY, u at $uY)"
(( qY + qH - uY - uH >= 15 )) || fail "the q's descender does not hang below the u (q ends $((qY + qH)), u $((uY + uH)))"
echo "atlas ok"
