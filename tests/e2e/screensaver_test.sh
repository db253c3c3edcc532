#!/usr/bin/env bash
# The XScreenSaver display mode, handed windows as XScreenSaver hands them:
# it draws into the window named in XSCREENSAVER_WINDOW (with --root beside
# it), following the window's size, opening none of its own and silent; SIGTERM
# ends it with status 0 and leaves the window to its owner. With --window-id
# and --sound it plays the music, and it ends by itself when its owner's
# window goes. --root alone draws on the root window.
source "$(dirname "$0")/lib.sh"

PROGRAM=$QUORVANE_SCREENSAVER
readonly kPlayed=$scratch/played.raw

# region_shows COLOUR WIDTHxHEIGHT: the screen's top left WIDTHxHEIGHT is all COLOUR.
region_shows() {
  local fraction
  fraction=$(xwd -root -silent | convert xwd:- -crop "$2+0+0" -alpha off -fill white \
    -opaque "$1" -fill black +opaque white -format '%[fx:mean]' info:) || return 1
  awk -v f="$fraction" 'BEGIN { exit !(f >= 0.99) }'
}
top_level_windows() { xwininfo -root -children | grep -c '^ *0x'; }
played_sound() { [[ -f $kPlayed && -n $(tr -d '\0' <"$kPlayed" | head -c1) ]]; }

# owner_window SIZE: a window as XScreenSaver makes one; its id in `owner`,
# its keeper's process in `owner_pid`.
owner_window() {
  # The previous owner's id must not be read before this one truncates the file.
  rm -f "$scratch/owner"
  "$X_SAVER_WINDOW" "$1" >"$scratch/owner" &
  owner_pid=$!
  helper_pids+=("$owner_pid")
  wait_until 30 grep -q '^0x' "$scratch/owner" || fail "x_saver_window gave no window"
  owner=$(cat "$scratch/owner")
}

start_xvfb 800x600x24
make_test_atlas
make_test_mp3 2
faketime_vars 0.1  # the sparks stay away while screenshots are taken

echo "-- in XScreenSaver's window, following its size, silent"
owner_window 320x240
windows_before=$(top_level_windows)
start_piece "XSCREENSAVER_WINDOW=$owner" SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$kPlayed" \
  "${faketime[@]}" -- --root
wait_until 120 region_shows "$kBackdropColour" 320x240 || fail "the backdrop did not fill the window"
! screen_shows "$kBackdropColour" 0.2 || fail "it drew outside the window it was given"
xdotool windowsize "$owner" 640 400
wait_until 60 region_shows "$kBackdropColour" 640x400 ||
  fail "the picture did not follow the window to 640x400"
(($(top_level_windows) == windows_before)) || fail "it opened a window of its own"
sleep 2
! played_sound || fail "sound came out without --sound"
kill -TERM "$piece_pid"
expect_end 30 "SIGTERM"
xwininfo -id "$owner" >/dev/null 2>&1 || fail "the owner's window went with it"
kill -TERM "$owner_pid"

echo "-- --window-id and --sound; the owner's window destroyed"
owner_window 320x240
start_piece SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$kPlayed" "${faketime[@]}" -- \
  --window-id "$owner" --sound
wait_until 120 region_shows "$kBackdropColour" 320x240 || fail "the backdrop did not fill the window"
wait_until 60 played_sound || fail "no music came out with --sound"
kill -TERM "$owner_pid"
expect_end 30 "its window destroyed"

echo "-- --root alone: the root window"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- -root
wait_until 120 screen_shows "$kBackdropColour" 0.99 || fail "the backdrop did not cover the root window"
kill -TERM "$piece_pid"
expect_end 30 "SIGTERM on the root window"
echo "PASS"
