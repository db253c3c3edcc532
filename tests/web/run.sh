#!/usr/bin/env bash
# Runs each browser test file in its own Node process, one after another:
# each starts (and stops) its own Chromium, and two at once would compete for
# the CPU that the software WebGL renderer needs. The music test, which plays
# the whole piece in real time beside a load of its own, runs last and alone,
# so that its load slows no other test.
set -euo pipefail
cd "$(dirname "$0")"
status=0
for file in *.test.mjs; do
  [[ $file == music.test.mjs ]] && continue
  node --test "$file" || status=1
done
node --test music.test.mjs || status=1
exit $status
