#!/usr/bin/env bash
# Every early end of the run is a normal one: Escape, the window closed by the
# window system, SIGTERM, SIGINT. Each leaves with status 0, soon.
#   quit_test.sh escape|close|sigterm|sigint
source "$(dirname "$0")/lib.sh"

# Frames running also means the start-up Escape query has passed.
start_piece_on_backdrop

end_piece "$1"
expect_end 60 "$1"
