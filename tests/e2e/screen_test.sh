#!/usr/bin/env bash
# The screen options on Xvfb. Bad values are refused with status 2 and a
# message, before any window is created. --window gives a normal window of the
# size asked (1280x720 without one), centred, whose picture follows it when it
# is resized, and that Escape or closing ends. --vsync is taken whether or not
# the driver lets it be set (Xvfb's GLX does not: the piece says so and goes on).
# Xvfb offers one output with one mode, its own size: --display 1 and mode
# switches are tested on an X server with two RandR outputs (modes_test.sh).
source "$(dirname "$0")/lib.sh"

# window_shows X Y WIDTHxHEIGHT: that part of the screen is all backdrop.
window_shows() {
  local fraction
  fraction=$(xwd -root -silent | convert xwd:- -crop "$3+$1+$2" -alpha off -fill white \
    -opaque "$kBackdropColour" -fill black +opaque white -format '%[fx:mean]' info:) || return 1
  awk -v f="$fraction" 'BEGIN { exit !(f >= 0.99) }'
}
# geometry_is WIDTH HEIGHT X Y: the piece's window has that size and place.
geometry_is() {
  local window
  window=$(xdotool search --name '^quorvane$' | head -n1)
  [[ -n $window ]] && xwininfo -id "$window" >"$scratch/geometry" 2>/dev/null || return 1
  local got
  got=$(awk -F: '/Width|Height|Absolute upper-left/ { gsub(/ /, "", $2); printf "%s ", $2 }' \
    "$scratch/geometry")
  [[ $got == "$3 $4 $1 $2 " ]]
}

start_xvfb 1920x1080x24
make_test_atlas
faketime_vars 0.1  # the sparks stay away while screenshots are taken

echo "-- bad values: status 2, a message, no window"
xev -root -event substructure >"$scratch/created" 2>&1 &
helper_pids+=($!)
sleep 1
for bad in "--window 0x0" "--window 640" "--display 9" "--fullscreen 99999x1" \
           "--fullscreen 800x600" "--vsync sometimes" "--loop=yes" "--window --fullscreen 1920x1080" \
           "junk"; do
  status=0
  # shellcheck disable=SC2086  # each case is several words
  (cd "$rundir" && exec "$QUORVANE" $bad) >"$scratch/stdout" 2>"$scratch/stderr" || status=$?
  ((status == 2)) || fail "'$bad' ended with status $status, not 2"
  [[ ! -s $scratch/stdout ]] || fail "'$bad' printed on stdout: $(cat "$scratch/stdout")"
  grep -q "^quorvane: " "$scratch/stderr" || fail "'$bad' said nothing"
done
sleep 1
! grep -q CreateNotify "$scratch/created" || fail "a bad value still created a window"
grep -q "offers no mode 800x600; its modes: 1920x1080" <(
  cd "$rundir" && "$QUORVANE" --fullscreen 800x600 2>&1) || fail "the refused mode's message"

echo "-- --window 640x360: centred, following its size, ended by Escape"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- --window 640x360 --vsync on
wait_until 120 geometry_is 640 360 640 360 || fail "the window is not 640x360 at 640,360: $(cat "$scratch/geometry")"
wait_until 120 window_shows 640 360 640x360 || fail "the backdrop does not fill the window"
! screen_shows "$kBackdropColour" 0.2 || fail "the picture is larger than its window"
xdotool windowsize "$(xdotool search --name '^quorvane$' | head -n1)" 960 540
wait_until 60 window_shows 640 360 960x540 || fail "the picture did not follow the window to 960x540"
xdotool keydown Escape keyup Escape
expect_end 60 "Escape in a window"
! grep -v "vsync" "$scratch/stderr" || fail "more on stderr than the driver's vsync"

echo "-- --window alone: 1280x720, ended by closing it"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- --window --vsync off
wait_until 120 geometry_is 1280 720 320 180 || fail "the window is not 1280x720 at 320,180: $(cat "$scratch/geometry")"
wait_until 120 window_shows 320 180 1280x720 || fail "the backdrop does not fill the window"
wait_until 30 "$X_CLOSE_WINDOW" quorvane || fail "no window titled and classed quorvane"
expect_end 60 "closing the window"
echo "PASS"
