#!/usr/bin/env bash
# The still of a moment and the frame the capture writes for that moment are
# the same picture, pixel for pixel (read back by ImageMagick).
#   same_picture_test.sh STILLS_TOOL CAPTURE_TOOL ASSET_DIR
set -euo pipefail
stills=$1 capture=$2 assets=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
ln -s "$assets/TEX.tga" "$assets/RX_muc.mp3" .
mkdir stills

# Moment, the capture range whose last frame shows it, that frame's number,
# and the still's name (the frame's elapsed milliseconds).
while read -r moment from to frame ms; do
  "$stills" 160 90 stills "$moment" >/dev/null
  "$capture" --quiet --size 160x90 --from "$from" --to "$to" "frames-$frame/"
  differing=$(compare -metric AE "stills/still-${ms}ms.png" "frames-$frame/frame_$frame.png" \
    null: 2>&1) || true
  [[ $differing == 0 ]] || fail "at $moment s the still and the captured frame differ in $differing pixels"
  echo "$moment s: frame $frame, identical"
done <<'MOMENTS'
4 3.99 4 000240 4000
30.001 30 30.02 001801 30016
222 221.99 222 013320 222000
MOMENTS
