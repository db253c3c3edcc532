#!/usr/bin/env bash
# --loop under a clock 10 times as fast: the piece starts again by itself in
# the same window when a run reaches its end, the music from its first sample
# with each run (SDL's disk audio driver), and Escape in the second run ends
# it at once with status 0.
source "$(dirname "$0")/lib.sh"

readonly kSpeed=10
readonly kPlayed=$scratch/played.raw
readonly kRunMs=$((230000 / kSpeed))

start_xvfb 640x480x24
make_test_atlas
make_test_mp3 2
mpg123 -q -s "$rundir/RX_muc.mp3" >"$scratch/reference.raw"

faketime_vars "$kSpeed"
start_piece SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$kPlayed" "${faketime[@]}" -- --loop
wait_for_backdrop 120
window=$(xdotool search --name '^quorvane$' | head -n1)
[[ -n $window ]] || fail "no window titled quorvane"

played_twice() { "$PCM_MATCH" "$kPlayed" "$scratch/reference.raw" 2 >/dev/null 2>&1; }
wait_until 240 played_twice ||
  fail "the music was not played again from its start: $("$PCM_MATCH" "$kPlayed" "$scratch/reference.raw" 2 2>&1)"
second_run_ms=$(($(now_ms) - piece_started_ms))
((second_run_ms >= kRunMs)) || fail "the music started again after $second_run_ms ms, before the run's end"
[[ $(xdotool search --name '^quorvane$' | head -n1) == "$window" ]] ||
  fail "the second run is not in the first run's window"

xdotool keydown Escape keyup Escape
expect_end 30 "Escape in the second run"
elapsed=$(($(now_ms) - piece_started_ms))
((elapsed < 2 * kRunMs)) || fail "the piece ended after $elapsed ms, not in its second run"
"$PCM_MATCH" "$kPlayed" "$scratch/reference.raw" 2 || fail "the captured music is not two plays"
echo "the second run began after $second_run_ms ms and Escape ended it after $elapsed ms"
