#!/usr/bin/env bash
# With no display at all the piece says so in one line, fails, and does not hang.
source "$(dirname "$0")/lib.sh"

start_piece -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy
wait_piece 20
elapsed=$(($(now_ms) - piece_started_ms))
((piece_status != 0)) || fail "exit status 0 without a display"
[[ $(wc -l <"$scratch/stderr") -eq 1 ]] || fail "expected one line on stderr"
grep -q 'cannot open a window' "$scratch/stderr" || fail "the message does not say what went wrong"
grep -q 'quorvane-capture' "$scratch/stderr" || fail "the message does not say how to render a video"
# Within a second, with room for the sanitizer build's start-up.
((elapsed < 3000)) || fail "took $elapsed ms to give up"
echo "ended in $elapsed ms with status $piece_status"
