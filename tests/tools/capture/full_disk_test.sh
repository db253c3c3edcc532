#!/usr/bin/env bash
# Frames and video onto a full disk: the capture fails, says why in the
# words of the failed write, and leaves nothing behind. The full disk is a
# small tmpfs in a mount namespace of the test's own.
#   full_disk_test.sh CAPTURE_TOOL ASSET_DIR
set -euo pipefail
tool=$1 assets=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
ln -s "$assets/TEX.tga" "$assets/RX_muc.mp3" "$work/"
mkdir "$work/disk"

as_user=()
[[ $(id -u) -eq 0 ]] || as_user=(-r)
# capture_onto_full_disk ARGS...: runs the tool in $work with a 100 KiB disk at disk/.
capture_onto_full_disk() {
  unshare "${as_user[@]}" -m bash -c '
    mount -t tmpfs -o size=100k tmpfs disk || exit 99
    "$0" --quiet --size 320x180 "$@" >stdout 2>stderr
    status=$?
    ls -A disk >left
    exit $status' "$tool" "$@"
}

for output in disk/frames/ disk/piece.mp4; do
  status=0
  (cd "$work" && capture_onto_full_disk --to 5 "$output") || status=$?
  ((status != 99)) || fail "cannot mount a tmpfs here (unshare -m needs root or user namespaces)"
  ((status == 1)) || fail "$output: exit status $status, expected 1: $(cat "$work/stderr")"
  grep -q 'No space left on device' "$work/stderr" || fail "$output: $(cat "$work/stderr")"
  grep -q 'nothing was written' "$work/stderr" || fail "$output: $(cat "$work/stderr")"
  [[ ! -s $work/left ]] || fail "$output: left behind: $(cat "$work/left")"
  echo "$output: $(tail -n 1 "$work/stderr")"
done
