#!/usr/bin/env bash
# Generating again must give the same bytes as the build did.
#   check_repeatable.sh ATLAS_GEN MUSIC_GEN BUILT_TEX BUILT_MP3 TITLE_FONT LINE_FONT
set -euo pipefail
atlasGen=$1 musicGen=$2 builtAtlas=$3 builtMusic=$4 titleFont=$5 lineFont=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$atlasGen" "$work/TEX.tga" "$titleFont" "$lineFont"
"$musicGen" "$work/RX_muc.mp3"
cmp "$builtAtlas" "$work/TEX.tga"
cmp "$builtMusic" "$work/RX_muc.mp3"
[[ -z $(find "$work" -name '*.part') ]] || { echo "FAIL: temporary files left behind" >&2; exit 1; }
echo "assets regenerate identically"
