#!/usr/bin/env bash
# With stdout and stderr on a pipe whose reader has gone (quorvane 2>&1 | true)
# the piece does not die of what it or its libraries write. A music file that
# is really a WAV makes sure that the main thread writes at start-up (SDL's
# own threads block SIGPIPE; ALSA's complaints come only without a sound
# card). The run goes on to its frames and ends on Escape with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb 1920x1080x24
make_test_atlas
make_test_wav
# Opened for reading and writing first, so that opening the write end does
# not wait; closing that first descriptor then leaves no reader.
mkfifo "$scratch/pipe"
exec {readwrite}<>"$scratch/pipe"
exec {writer}>"$scratch/pipe"
exec {readwrite}<&-
faketime_vars 0.1
(cd "$rundir" && exec env SDL_AUDIODRIVER=dummy "${faketime[@]}" "$QUORVANE") >&"$writer" 2>&1 &
piece_pid=$!
exec {writer}>&-

backdrop_or_ended() { piece_exited || screen_shows "$kBackdropColour" 0.99; }
wait_until 180 backdrop_or_ended || fail "the backdrop did not cover the screen"
if piece_exited; then
  wait_piece 1
  fail "the piece ended by itself at start-up, with status $piece_status"
fi
xdotool key Escape
expect_end 60 "stderr on a pipe without reader"
