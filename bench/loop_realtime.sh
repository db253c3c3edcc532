#!/usr/bin/env bash
# quorvane --loop in real time for a long while (not a timed test): the piece
# in a small window on a private Xvfb, silent (SDL's dummy audio driver), its
# resident size, open descriptors and threads sampled every SAMPLE seconds.
# Prints one line a sample and, at the end, the first, the tenth-minute and
# the last sample side by side, and the runs the time covers (a run is 230 s).
# Meant for the background: nice -n 19 bench/loop_realtime.sh build 60
# Usage: bench/loop_realtime.sh [BUILD_DIR] [MINUTES] [SIZE] [SAMPLE]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
minutes=${2:-60}
size=${3:-320x180}
sample=${4:-60}
scratch=$(mktemp -d)
xvfb_pid= piece_pid=
cleanup() {
  [[ -z $piece_pid ]] || { kill -TERM "$piece_pid" 2>/dev/null || true; wait "$piece_pid" || true; }
  [[ -z $xvfb_pid ]] || { kill -TERM "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" || true; }
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 300); do grep -qx '[0-9]\+' "$scratch/display" 2>/dev/null && break; sleep 0.2; done
export DISPLAY=":$(cat "$scratch/display")"

cd "$build"
SDL_AUDIODRIVER=dummy ./quorvane --loop --window "$size" >/dev/null 2>"$scratch/stderr" &
piece_pid=$!
started=$SECONDS

field() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$piece_pid/status"; }
printf 'seconds\trss_kib\tfds\tthreads\n' | tee "$scratch/samples"
while ((SECONDS - started < minutes * 60)); do
  [[ -d /proc/$piece_pid ]] || { echo "the piece ended early:"; cat "$scratch/stderr"; exit 1; }
  printf '%d\t%s\t%d\t%s\n' $((SECONDS - started)) "$(field VmRSS)" \
    "$(find "/proc/$piece_pid/fd" -mindepth 1 | wc -l)" "$(field Threads)" | tee -a "$scratch/samples"
  sleep "$sample"
done
elapsed=$((SECONDS - started))
echo "runs: $((elapsed / 230)) whole ones in $elapsed s"
awk -F'\t' 'NR == 2 { first = $0 } NR > 1 && $1 >= 600 && !ten { ten = $0 } NR > 1 { last = $0 }
            END { print "first:   " first; print "at 600 s: " ten; print "last:    " last }' \
  "$scratch/samples"
[[ ! -s $scratch/stderr ]] || { echo "stderr:"; cat "$scratch/stderr"; }
