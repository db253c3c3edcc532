#!/usr/bin/env bash
# Icons from the piece's own picture: the swarm as a sphere at 25 s,
# rendered headless at 2048x1152 and cropped square around it, scaled to each
# size. No time or date goes into the files, so that the same build gives the
# same bytes.
#   render_icons.sh STILLS_TOOL TEX.tga OUTDIR SIZE...
set -euo pipefail
stills=$1 atlas=$2 out=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$(dirname "$atlas")" && "$stills" --force 2048 1152 "$work" 25 >/dev/null)
still=("$work"/still-*ms.png)
mkdir -p "$out"
png=(-strip -define png:exclude-chunks=date,time)
convert "${still[0]}" -crop 800x800+764+240 +repage "${png[@]}" "$work/square.png"
ico=()
for size in "$@"; do
  convert "$work/square.png" -filter Lanczos -resize "${size}x${size}" "${png[@]}" "$out/$size.png"
  case $size in 16 | 24 | 32 | 48 | 256) ico+=("$out/$size.png") ;; esac
done
convert "${ico[@]}" "$out/quorvane.ico"
