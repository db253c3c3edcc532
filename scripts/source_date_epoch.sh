#!/usr/bin/env bash
# Prints the time a release is dated by (seconds since 1970): the last
# commit's in a git clone, else the SOURCE_DATE_EPOCH file that the source
# tarball carries. Fails, saying why, with neither.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git log -1 --format=%ct
elif [[ -f SOURCE_DATE_EPOCH ]]; then
  epoch=$(<SOURCE_DATE_EPOCH)
  [[ $epoch =~ ^[0-9]+$ ]] || { echo "release: SOURCE_DATE_EPOCH holds '$epoch', not a time" >&2; exit 1; }
  echo "$epoch"
else
  echo "release: neither a git clone nor an unpacked source tarball (no SOURCE_DATE_EPOCH file)" >&2
  exit 1
fi
