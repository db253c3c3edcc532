#!/usr/bin/env bash
# Runs each browser test file in its own Node process, one after another:
# each starts (and stops) its own Chromium, and two at once would compete for
# the CPU that the software WebGL renderer needs.
set -euo pipefail
cd "$(dirname "$0")"
status=0
for file in *.test.mjs; do
  node --test "$file" || status=1
done
exit $status
