#!/usr/bin/env bash
# The capture's speed, measured side by side in one run (not a timed test):
#  1. --jobs 1 against --jobs 2 on a fixed 20-second stretch at 1280x720:
#     wall time and frames per second, medians of interleaved runs;
#  2. PNG frames at 64x36, where drawing costs little and writing sets the
#     pace: the time from one frame's file to the next for frames 2701-3000
#     written at the start of a range (into an empty folder) and at the end of
#     the 3,000-frame range 1-3000 (into a folder already holding 2,700), the
#     same frames drawn both times.
# With a BASELINE build folder (for instance one of main), its capture tool
# is measured beside in both.
# Usage: bench/capture_bench.sh [BUILD_DIR] [BASELINE_BUILD_DIR] [RUNS] [PARTS]
# PARTS: which of the two to run, "12" by default.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
baseline=${2:-}
[[ -z $baseline ]] || baseline=$(cd "$baseline" && pwd)
runs=${3:-3}
parts=${4:-12}
# Beside the build, on the disk the captures go to (not a RAM-backed /tmp).
scratch=$(mktemp -d "$build/capture-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
ln -s "$build/TEX.tga" "$build/RX_muc.mp3" "$scratch/"
cd "$scratch"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now() { date +%s.%N; }

tools=("$build/quorvane-capture")
[[ -z $baseline ]] || tools+=("$baseline/quorvane-capture")

if [[ $parts == *1* ]]; then
echo "1. 1280x720, seconds 100 to 120 (1,200 frames), medians of $runs interleaved runs"
frames=1200
TIMEFORMAT='%R %U %S'
for ((run = 0; run < runs; ++run)); do
  for ((t = 0; t < ${#tools[@]}; ++t)); do
    for jobs in 1 2; do
      { time "${tools[t]}" --quiet --force --jobs "$jobs" --size 1280x720 --from 100 --to 120 \
        out.mp4; } 2>"times"
      awk '{ print $1 }' times >>"wall$t-$jobs"
      awk '{ print $2 + $3 }' times >>"cpu$t-$jobs"
    done
  done
done
for ((t = 0; t < ${#tools[@]}; ++t)); do
  echo "   ${tools[t]}"
  printf '   %-8s %10s %8s %14s\n' '' 'wall s' fps 'CPU s (all)'
  for jobs in 1 2; do
    wall=$(median <"wall$t-$jobs")
    printf '   %-8s %10.1f %8.1f %14.1f\n' "--jobs $jobs" "$wall" \
      "$(awk -v w="$wall" -v f=$frames 'BEGIN { print f / w }')" "$(median <"cpu$t-$jobs")"
  done
  awk -v a="$(median <"wall$t-1")" -v b="$(median <"wall$t-2")" \
    'BEGIN { printf "   --jobs 2 takes %.2f of the time of --jobs 1\n", b / a }'
done
fi

# Median time between consecutive frame files (ms) over frames FIRST..LAST of a folder.
intervals() {
  local folder=$1 first=$2 last=$3
  for ((k = first; k <= last; ++k)); do printf '%s/frame_%06d.png\n' "$folder" "$k"; done |
    xargs stat -c %.Y | awk 'NR > 1 { printf "%.3f\n", ($1 - previous) * 1000 } { previous = $1 }' |
    median
}
[[ $parts == *2* ]] || exit 0
echo "2. PNG frames 2701-3000 at 64x36: ms from one frame's file to the next,"
echo "   medians over the frames, then over $runs interleaved runs"
printf '   %-40s %14s %14s\n' 'capture tool' 'range start' 'range end'
for ((run = 0; run < runs; ++run)); do
  for ((t = 0; t < ${#tools[@]}; ++t)); do
    rm -rf alone long
    "${tools[t]}" --quiet --size 64x36 --from 45 --to 50 alone/  # frames 2701-3000 only
    "${tools[t]}" --quiet --size 64x36 --to 50 long/             # frames 1-3000
    intervals alone 2701 3000 >>"start$t"
    intervals long 2701 3000 >>"end$t"
  done
done
for ((t = 0; t < ${#tools[@]}; ++t)); do
  printf '   %-40s %14s %14s\n' "${tools[t]}" "$(median <"start$t")" "$(median <"end$t")"
done
