#!/usr/bin/env bash
# The capture's speed, measured side by side in one run (not a timed test):
#  1. --jobs 1 against --jobs 2 on a fixed 20-second stretch at 1280x720:
#     wall time and frames per second, medians of interleaved runs;
#  2. PNG frames of a 3,000-frame range: the time between one frame's file and
#     the next near the start and near the end of the range, at 64x36 where
#     drawing costs little and writing sets the pace; with a BASELINE build
#     folder (for instance one of main), its capture tool is measured beside.
# Usage: bench/capture_bench.sh [BUILD_DIR] [BASELINE_BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
baseline=${2:-}
[[ -z $baseline ]] || baseline=$(cd "$baseline" && pwd)
runs=${3:-3}
# Beside the build, on the disk the captures go to (not a RAM-backed /tmp).
scratch=$(mktemp -d "$build/capture-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
ln -s "$build/TEX.tga" "$build/RX_muc.mp3" "$scratch/"
cd "$scratch"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now() { date +%s.%N; }

echo "1. 1280x720, seconds 100 to 120 (1,200 frames), medians of $runs interleaved runs"
frames=1200
for jobs in 1 2; do : >"jobs$jobs"; done
for ((run = 0; run < runs; ++run)); do
  for jobs in 1 2; do
    start=$(now)
    "$build/quorvane-capture" --quiet --force --jobs "$jobs" --size 1280x720 --from 100 --to 120 \
      out.mp4
    awk -v s="$start" -v e="$(now)" 'BEGIN { print e - s }' >>"jobs$jobs"
  done
done
printf '   %-8s %10s %8s\n' '' 'wall s' fps
for jobs in 1 2; do
  wall=$(median <"jobs$jobs")
  printf '   %-8s %10.1f %8.1f\n' "--jobs $jobs" "$wall" "$(awk -v w="$wall" -v f=$frames 'BEGIN { print f / w }')"
done
awk -v a="$(median <jobs1)" -v b="$(median <jobs2)" \
  'BEGIN { printf "   --jobs 2 takes %.2f of the time of --jobs 1\n", b / a }'

# Median time between consecutive frame files (ms) over frames FIRST..LAST of a folder.
intervals() {
  local folder=$1 first=$2 last=$3
  for ((k = first; k <= last; ++k)); do printf '%s/frame_%06d.png\n' "$folder" "$k"; done |
    xargs stat -c %.Y | awk 'NR > 1 { printf "%.3f\n", ($1 - previous) * 1000 } { previous = $1 }' |
    median
}
echo "2. PNG frames 1-3000 at 64x36: ms from one frame's file to the next, median"
printf '   %-40s %12s %12s\n' 'capture tool' 'frames 2-301' 'frames 2701-3000'
tools=("$build/quorvane-capture")
[[ -z $baseline ]] || tools+=("$baseline/quorvane-capture")
for tool in "${tools[@]}"; do
  rm -rf frames
  "$tool" --quiet --size 64x36 --to 50 frames/  # frames 1-3000
  printf '   %-40s %12s %12s\n' "$tool" "$(intervals frames 1 301)" "$(intervals frames 2700 3000)"
done
