# Shared by the end-to-end tests: a private X server, test assets written by
# the test itself, the piece started in a scratch directory, and polling with
# generous limits instead of fixed sleeps (the machine may be small and busy,
# and the sanitizer build draws slowly). Everything started here is stopped on
# exit.
#
# Expects in the environment (CTest sets them): QUORVANE, QUORVANE_SCREENSAVER,
# X_CLOSE_WINDOW, X_UNFOCUSED_WM, X_SAVER_WINDOW, PCM_MATCH, FAKETIME_LIBRARY.
set -euo pipefail

export LC_ALL=C
scratch=$(mktemp -d)
rundir=$scratch/run
mkdir -p "$rundir"
xvfb_pid=
piece_pid=
piece_started_ms=0
helper_pids=()

# The backdrop band of the test atlas, and the colour of the title-card band.
readonly kBackdropColour='rgb(40,160,220)'

cleanup() {
  if [[ -n $piece_pid ]]; then
    kill -KILL "$piece_pid" 2>/dev/null || true
    wait "$piece_pid" 2>/dev/null || true
  fi
  local pid
  for pid in "${helper_pids[@]}"; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [[ -n $xvfb_pid ]]; then
    kill -TERM "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [[ -s $scratch/stderr ]]; then
    echo "--- the piece's stderr:" >&2
    tail -n 20 "$scratch/stderr" >&2
  fi
  exit 1
}

now_ms() {
  local t=${EPOCHREALTIME/./}
  echo $((t / 1000))
}

# wait_until SECONDS COMMAND...: true once COMMAND holds, false after SECONDS.
wait_until() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}

display_ready() { grep -qx '[0-9]\+' "$scratch/display" 2>/dev/null; }

# start_xvfb [SCREEN [XVFB OPTIONS...]]: a server of its own, no window manager.
start_xvfb() {
  local screen=${1:-1920x1080x24}
  shift || true
  # -noreset: a server that resets when its last client leaves refuses the
  # next one for a moment, and a test that opens and closes helpers in turn
  # would meet that moment now and then.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset -br "$@" \
    3>"$scratch/display" 2>"$scratch/xvfb.log" &
  xvfb_pid=$!
  wait_until 60 display_ready || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
  export DISPLAY=":$(cat "$scratch/display")"
}

# start_helper COMMAND...: COMMAND in the background until the test ends.
start_helper() {
  "$@" &
  helper_pids+=($!)
}

# write_pixel_rows B G R A ROWS: ROWS (a multiple of 128) rows of one colour.
write_pixel_rows() {
  local block=$scratch/block
  printf "\\x$1\\x$2\\x$3\\x$4" >"$block"
  local i
  for i in $(seq 17); do
    cat "$block" "$block" >"$block.next"
    mv "$block.next" "$block"
  done
  for i in $(seq $(($5 / 128))); do cat "$block"; done
  rm -f "$block"
}

# TEX.tga: an 18-byte header, the card band (rows 0-383) in red, the backdrop
# band (rows 384-1023) in kBackdropColour.
make_test_atlas() {
  {
    head -c 18 /dev/zero
    write_pixel_rows 1e 1e c8 ff 384
    write_pixel_rows dc a0 28 ff 640
  } >"$rundir/TEX.tga"
}

# RX_muc.mp3: seeded noise, so the stream has one alignment only.
make_test_mp3() {
  ffmpeg -nostdin -v error -y -f lavfi -i "anoisesrc=d=${1:-2}:c=pink:seed=7:a=0.3" \
    -ac 2 -ar 44100 -c:a libmp3lame -b:a 128k "$rundir/RX_muc.mp3"
}

# RX_muc.mp3 that is really a WAV: the same noise, uncompressed.
make_test_wav() {
  ffmpeg -nostdin -v error -y -f lavfi -i "anoisesrc=d=${1:-2}:c=pink:seed=7:a=0.3" \
    -ac 2 -ar 44100 -c:a pcm_s16le -f wav "$rundir/RX_muc.mp3"
}

# start_piece [VAR=VALUE...] [-- ARGUMENT...]: the real binary ($PROGRAM when
# set, else $QUORVANE), in the scratch run directory.
start_piece() {
  local vars=()
  while (($#)) && [[ $1 != -- ]]; do vars+=("$1"); shift; done
  shift || true
  (cd "$rundir" && exec env "${vars[@]}" "${PROGRAM:-$QUORVANE}" "$@") \
    >"$scratch/stdout" 2>"$scratch/stderr" &
  piece_pid=$!
  piece_started_ms=$(now_ms)
}

# faketime_vars SPEED: sets the array `faketime` to the environment of a run
# whose clocks go SPEED times as fast. The sanitizer runtime must then not
# insist on being loaded first.
faketime_vars() {
  faketime=("LD_PRELOAD=$FAKETIME_LIBRARY" "FAKETIME=+0 x$1"
            "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
}

piece_exited() {
  local state
  state=$(sed 's/^.*) //' "/proc/$piece_pid/stat" 2>/dev/null | cut -d' ' -f1) || return 0
  [[ -z $state || $state == Z ]]
}

# wait_piece SECONDS: waits for the piece to end; its exit status goes to
# piece_status.
wait_piece() {
  wait_until "$1" piece_exited || fail "the piece did not end within $1 s"
  piece_status=0
  wait "$piece_pid" || piece_status=$?
  piece_pid=
}

# Fraction of the screen's pixels that have exactly the given colour.
colour_fraction() {
  xwd -root -silent |
    convert xwd:- -alpha off -fill white -opaque "$1" -fill black +opaque white \
      -format '%[fx:mean]' info:
}

# screen_shows COLOUR MIN_FRACTION
screen_shows() {
  local fraction
  fraction=$(colour_fraction "$1") || return 1
  awk -v f="$fraction" -v m="$2" 'BEGIN { exit !(f >= m) }'
}

# Frames are running once the backdrop covers the screen.
wait_for_backdrop() {
  wait_until "${1:-120}" screen_shows "$kBackdropColour" 0.99 ||
    fail "the backdrop did not cover the screen (last share: $(colour_fraction "$kBackdropColour"))"
}

# The piece on a 1920x1080 screen with the test atlas, once frames are running.
# Its clock runs at a tenth of the speed, which keeps the sparks (from 3.3 s)
# off the screen for as long as a busy machine may need to take screenshots.
start_piece_on_backdrop() {
  start_xvfb 1920x1080x24
  make_test_atlas
  faketime_vars 0.1
  start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
  wait_for_backdrop 180
}

# end_piece HOW: ends the running piece as a person or the system would:
# escape, close (its window), sigterm, sigint or sighup.
end_piece() {
  case $1 in
    # Press and release back to back, so that both arrive in one batch of events.
    escape) xdotool keydown Escape keyup Escape ;;
    close) wait_until 30 "$X_CLOSE_WINDOW" quorvane || fail "no window titled and classed quorvane" ;;
    sigterm | sigint | sighup) local signal=${1#sig} && kill -s "${signal^^}" "$piece_pid" ;;
    *) fail "unknown way to end the piece: $1" ;;
  esac
}

# expect_end SECONDS WHAT: the piece ends within SECONDS with status 0.
expect_end() {
  wait_piece "$1"
  ((piece_status == 0)) || fail "$2: exit status $piece_status, expected 0"
}
