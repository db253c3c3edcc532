#!/usr/bin/env bash
# Frames per second of drawing alone and of the whole video capture (read-back,
# H.264 encoding, music muxing), medians of interleaved runs at 1280x720 and 1920x1080.
# Usage: tools/capture/measure_speed.sh [BUILD_DIR] [FROM] [TO] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
from=${2:-100}
to=${3:-105}
runs=${4:-3}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$build"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-10s %14s %14s %9s\n' size 'drawing fps' 'capture fps' overhead
for size in 1280x720 1920x1080; do
  : >"$scratch/draw"
  : >"$scratch/capture"
  for ((run = 0; run < runs; ++run)); do
    ./tools/capture/quorvane-draw-speed "${size%x*}" "${size#*x}" "$from" "$to" |
      sed -n 's/.*: \([0-9.]*\) fps$/\1/p' >>"$scratch/draw"
    ./quorvane-capture --size "$size" --from "$from" --to "$to" "$scratch/out.mp4" 2>&1 |
      sed -n 's/.*100%.* \([0-9.]*\) fps .*/\1/p' >>"$scratch/capture"
  done
  draw=$(median <"$scratch/draw")
  capture=$(median <"$scratch/capture")
  overhead=$(awk -v d="$draw" -v c="$capture" 'BEGIN { printf "%.1f%%", (d / c - 1) * 100 }')
  printf '%-10s %14s %14s %9s\n' "$size" "$draw" "$capture" "$overhead"
done
