#!/usr/bin/env bash
# Every early end of the run is a normal one: Escape, the window closed by the
# window system, SIGTERM, SIGINT. Each leaves with status 0, soon.
#   quit_test.sh escape|close|sigterm|sigint
source "$(dirname "$0")/lib.sh"

start_xvfb 1920x1080x24
make_test_atlas
# A clock at a tenth of the speed keeps the sparks, which come at 3.3 s, off the
# screen for as long as a busy machine may need to take the screenshots.
faketime_vars 0.1
start_piece SDL_AUDIODRIVER=dummy "${faketime[@]}"
# The backdrop of the test atlas over the whole screen also shows that frames run,
# so the start-up Escape query has passed.
wait_for_backdrop 180

case $1 in
  # Press and release back to back, so that both arrive in one batch of events.
  escape) xdotool keydown Escape keyup Escape ;;
  close) wait_until 30 "$X_CLOSE_WINDOW" quorvane || fail "no window titled and classed quorvane" ;;
  sigterm) kill -TERM "$piece_pid" ;;
  sigint) kill -INT "$piece_pid" ;;
  *) fail "unknown way to quit: $1" ;;
esac
expect_end 60 "$1"
