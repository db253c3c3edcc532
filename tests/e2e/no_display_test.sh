#!/usr/bin/env bash
# With no display at all the piece says so in one line, fails, and does not
# hang: it gives up at the window, before any other step of start-up.
source "$(dirname "$0")/lib.sh"

# The disk audio driver creates its file when the audio output opens.
start_piece -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$scratch/played.raw"
# Only a guard against a hang, with room for a loaded machine and the
# sanitizer build's start-up; how soon it gives up shows in what it did not do.
wait_piece 60
((piece_status != 0)) || fail "exit status 0 without a display"
[[ $(wc -l <"$scratch/stderr") -eq 1 ]] || fail "expected one line on stderr"
grep -q 'cannot open a window' "$scratch/stderr" || fail "the message does not say what went wrong"
grep -q 'quorvane-capture' "$scratch/stderr" || fail "the message does not say how to render a video"
[[ ! -e $scratch/played.raw ]] || fail "the audio output was opened without a window"
echo "ended with status $piece_status"
