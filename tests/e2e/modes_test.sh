#!/usr/bin/env bash
# --display and --fullscreen on an X server with two RandR outputs whose modes
# can be switched (Xorg's dummy driver; Xvfb has one output and one mode):
# --list-displays names both, --display 1 covers the second output, alone or
# with a window centred on it, and --fullscreen switches an output's mode and
# gives the desktop's back when Escape, closing the window, SIGTERM or SIGHUP
# ends the run.
source "$(dirname "$0")/lib.sh"

xorg_pid=
stop_xorg() {
  [[ -z $xorg_pid ]] || { kill -TERM "$xorg_pid" 2>/dev/null || true; wait "$xorg_pid" || true; }
  cleanup
}
trap stop_xorg EXIT

# An Xorg of its own on the dummy driver, in the scratch folder; outputs
# DUMMY0 (1024x768) and DUMMY1 (800x600) side by side.
cat >"$scratch/xorg.conf" <<'EOF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 1024
  EndSubSection
EndSection
EOF
mkdir "$scratch/xorg.conf.d"
Xorg -config "$scratch/xorg.conf" -configdir "$scratch/xorg.conf.d" -noreset -nolisten tcp \
  -logfile "$scratch/xorg.log" -displayfd 3 3>"$scratch/display" 2>"$scratch/xorg.err" &
xorg_pid=$!
wait_until 60 display_ready || fail "Xorg did not start: $(tail -n 5 "$scratch/xorg.err")"
export DISPLAY=":$(cat "$scratch/display")"
xrandr --addmode DUMMY1 800x600 && xrandr --output DUMMY1 --mode 800x600 --right-of DUMMY0 ||
  fail "the dummy driver's second output cannot be turned on"
grep -q '^DUMMY1 connected 800x600+1024+0' <(xrandr) || fail "DUMMY1: $(xrandr | grep DUMMY1)"
make_test_atlas
faketime_vars 0.1

# mode_of OUTPUT: its mode now, as WIDTHxHEIGHT.
mode_of() { xrandr | grep "^$1 " | grep -o '[0-9]*x[0-9]*+' | head -n1 | tr -d +; }
geometry_is() {
  local window
  window=$(xdotool search --name '^quorvane$' | head -n1)
  [[ -n $window ]] && xwininfo -id "$window" >"$scratch/geometry" 2>/dev/null || return 1
  [[ $(awk -F: '/Width|Height|Absolute upper-left/ { gsub(/ /, "", $2); printf "%s ", $2 }' \
    "$scratch/geometry") == "$3 $4 $1 $2 " ]]
}
region_shows() {
  local fraction
  fraction=$(xwd -root -silent | convert xwd:- -crop "$1" -alpha off -fill white \
    -opaque "$kBackdropColour" -fill black +opaque white -format '%[fx:mean]' info:) || return 1
  awk -v f="$fraction" 'BEGIN { exit !(f >= 0.99) }'
}

echo "-- --list-displays"
(cd "$rundir" && "$QUORVANE" --list-displays) >"$scratch/list" || fail "--list-displays failed"
grep -q '^0: DUMMY0, 1024x768 at 0,0; modes for --fullscreen: .*800x600' "$scratch/list" &&
  grep -q '^1: DUMMY1, 800x600 at 1024,0' "$scratch/list" || fail "the list: $(cat "$scratch/list")"

echo "-- --display 1, alone and with a window"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- --display 1
wait_until 120 geometry_is 800 600 1024 0 || fail "not over display 1: $(cat "$scratch/geometry")"
wait_until 120 region_shows 800x600+1024+0 || fail "the backdrop does not cover display 1"
kill -TERM "$piece_pid"
expect_end 60 "SIGTERM on display 1"
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- --display 1 --window 640x360
wait_until 120 geometry_is 640 360 1104 120 || fail "not centred on display 1: $(cat "$scratch/geometry")"
kill -TERM "$piece_pid"
expect_end 60 "SIGTERM in a window on display 1"
status=0
(cd "$rundir" && "$QUORVANE" --display 2) 2>"$scratch/stderr" || status=$?
((status == 2)) && grep -q "there is no display 2" "$scratch/stderr" || fail "--display 2: $status"

# fullscreen OUTPUT AT MODE HOW [OPTIONS]: the output (at +X+Y) in MODE
# while it runs, in the desktop's after HOW ends it.
fullscreen() {
  local output=$1 at=$2 mode=$3 how=$4 desktop
  desktop=$(mode_of "$output")
  [[ -n $desktop ]] || fail "no mode for $output in: $(xrandr)"
  shift 4
  start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}" -- --fullscreen "$mode" "$@"
  switched() { [[ $(mode_of "$output") == "$mode" ]]; }
  wait_until 120 switched || fail "$output did not switch to $mode: $(xrandr | grep "^$output")"
  wait_until 120 region_shows "$mode$at" || fail "the backdrop does not cover $output at $mode"
  end_piece "$how"
  expect_end 60 "$how with $output at $mode"
  [[ $(mode_of "$output") == "$desktop" ]] ||
    fail "after $how $output is left at $(mode_of "$output"), not $desktop"
}

echo "-- --fullscreen: the mode, and the desktop's again after the end"
fullscreen DUMMY0 +0+0 800x600 escape
fullscreen DUMMY0 +0+0 640x480 close
fullscreen DUMMY0 +0+0 800x600 sigterm --loop
fullscreen DUMMY1 +1024+0 640x480 sighup --display 1
echo "PASS"
