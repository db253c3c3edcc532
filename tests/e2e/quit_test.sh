#!/usr/bin/env bash
# Every early end of the run is a normal one: Escape, the window closed by the
# window system, SIGTERM, SIGINT. Each leaves with status 0, soon.
#   quit_test.sh escape|close|sigterm|sigint
source "$(dirname "$0")/lib.sh"

# Frames running also means the start-up Escape query has passed.
start_piece_on_backdrop

case $1 in
  # Press and release back to back, so that both arrive in one batch of events.
  escape) xdotool keydown Escape keyup Escape ;;
  close) wait_until 30 "$X_CLOSE_WINDOW" quorvane || fail "no window titled and classed quorvane" ;;
  sigterm) kill -TERM "$piece_pid" ;;
  sigint) kill -INT "$piece_pid" ;;
  *) fail "unknown way to quit: $1" ;;
esac
expect_end 60 "$1"
