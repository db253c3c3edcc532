#!/usr/bin/env bash
# Runs each browser test file in its own Node process, one after another:
# each starts (and stops) its own Chromium, and two at once would compete for
# the CPU that the software WebGL renderer needs. The exception is the music
# test, which plays the whole piece in real time on a tiny canvas and needs
# little CPU: it runs beside the others, its output shown when it ends.
set -euo pipefail
cd "$(dirname "$0")"
music_log=$(mktemp)
node --test music.test.mjs >"$music_log" 2>&1 &
music=$!
trap 'kill "$music" 2>/dev/null || true; rm -f "$music_log"' EXIT
status=0
for file in *.test.mjs; do
  [[ $file == music.test.mjs ]] && continue
  node --test "$file" || status=1
done
wait "$music" || status=1
cat "$music_log"
exit $status
