#!/usr/bin/env bash
# What the screen shows at the start: the backdrop band of the atlas over the
# whole screen; without TEX.tga the run goes on with the backdrop untextured,
# in its plain white.
source "$(dirname "$0")/lib.sh"

start_xvfb 1920x1080x24
make_test_atlas
# A clock at a tenth of the speed keeps the sparks, which come at 3.3 s, off the
# screen for as long as a busy machine may need to take the screenshots.
faketime_vars 0.1
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
wait_for_backdrop 180
xdotool key Escape
expect_end 60 "with the atlas"

rm "$rundir/TEX.tga"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
wait_until 180 screen_shows white 0.99 ||
  fail "without TEX.tga the screen is not plain white (share: $(colour_fraction white))"
xdotool key Escape
expect_end 60 "without the atlas"
