#!/usr/bin/env bash
# What the screen shows at the start: the backdrop band of the atlas over the
# whole screen; without TEX.tga the run goes on with the backdrop untextured,
# in its plain white.
source "$(dirname "$0")/lib.sh"

start_piece_on_backdrop
xdotool key Escape
expect_end 60 "with the atlas"

rm "$rundir/TEX.tga"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
wait_until 180 screen_shows white 0.99 ||
  fail "without TEX.tga the screen is not plain white (share: $(colour_fraction white))"
xdotool key Escape
expect_end 60 "without the atlas"
