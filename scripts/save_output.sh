#!/usr/bin/env bash
# Runs a command with its standard output saved to FILE (a link's --trace).
#   save_output.sh FILE COMMAND...
set -euo pipefail
out=$1
shift
"$@" >"$out"
