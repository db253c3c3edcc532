#!/usr/bin/env bash
# A window but no GL (an X server without GLX): the run goes on, undrawn, and
# ends by the clock or when the window is closed, with status 0.
source "$(dirname "$0")/lib.sh"

readonly kSpeed=20
start_xvfb 1280x720x24 -extension GLX
make_test_atlas

faketime_vars "$kSpeed"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
expect_end 600 "run to the time limit without GL"
elapsed=$(($(now_ms) - piece_started_ms))
((elapsed >= 230000 / kSpeed)) || fail "the run ended after $elapsed ms, before the time limit"

start_piece SDL_AUDIODRIVER=dummy
wait_until 60 "$X_CLOSE_WINDOW" quorvane || fail "no window titled and classed quorvane"
expect_end 60 "window closed without GL"
