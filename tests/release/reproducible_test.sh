#!/usr/bin/env bash
# A second `make release` from a fresh clone at another path, later, under
# another umask, time zone, locale, user name, home folder and number of
# parallel jobs, must give DIST byte for byte (the signature aside: the
# second release has no key); where a file differs, diffoscope says how.
#   reproducible_test.sh DIST
set -euo pipefail
dist=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
tree=$(git -C "$here" rev-parse --show-toplevel)
[[ -z $(git -C "$tree" status --porcelain --untracked-files=no) ]] ||
  echo "note: uncommitted changes in $tree are not in the clone; commit before comparing" >&2
work=$(mktemp -d /tmp/quorvane-second-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP

git clone --quiet --no-hardlinks "$tree" "$work/another/place/quorvane"
(
  cd "$work/another/place/quorvane"
  umask 0002
  mkdir "$work/home"
  TZ=Pacific/Kiritimati LANG=fr_FR.UTF-8 LC_ALL=C.UTF-8 USER=quorvane-second LOGNAME=quorvane-second \
    HOME=$work/home make --no-print-directory release JOBS=1 >"$work/release.log" 2>&1
) || { tail -n 40 "$work/release.log" >&2; echo "FAIL: the second release failed" >&2; exit 1; }

second=$work/another/place/quorvane/dist
differ=0
for file in $( (ls "$dist" && ls "$second") | grep -v '\.minisig$' | sort -u); do
  if ! cmp -s "$dist/$file" "$second/$file"; then
    differ=1
    echo "FAIL: $file differs between the two releases" >&2
    if [[ -e $dist/$file && -e $second/$file ]]; then
      diffoscope --text - --no-progress "$dist/$file" "$second/$file" 2>&1 | head -n 120 >&2 || true
    fi
  fi
done
((differ == 0)) || exit 1
echo "two releases, $(ls "$dist" | wc -l) files, byte for byte the same"
