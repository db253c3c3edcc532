#!/usr/bin/env bash
# Under a clock 20 times as fast, the run ends by itself once 230 scene seconds
# have passed, whatever the music file holds.
#   time_limit_test.sh mp3|missing|empty|random
source "$(dirname "$0")/lib.sh"

readonly kSpeed=20
start_xvfb 1280x720x24
make_test_atlas
case $1 in
  mp3) make_test_mp3 ;;
  missing) ;;
  empty) : >"$rundir/RX_muc.mp3" ;;
  random) head -c 200000 /dev/urandom >"$rundir/RX_muc.mp3" ;;
  *) fail "unknown music file: $1" ;;
esac

faketime_vars "$kSpeed"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
expect_end 600 "run to the time limit"
elapsed=$(($(now_ms) - piece_started_ms))
# 230 s of the fast clock take at least 230000 / kSpeed ms of real time.
((elapsed >= 230000 / kSpeed)) || fail "the run ended after $elapsed ms, before the time limit"
echo "ran $elapsed ms at ${kSpeed}x"
