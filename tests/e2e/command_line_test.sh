#!/usr/bin/env bash
# --version and --help answer on stdout with status 0 and open nothing (no
# display here: a program that tried would fail), an unknown argument is
# refused with status 2, and the piece and its tools print one version.
#   command_line_test.sh VERSION DATA_DIR QUORVANE CAPTURE STILLS
set -uo pipefail
version=$1 data_dir=$2 piece=$3 capture=$4 stills=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# run STATUS PROGRAM ARGS...: PROGRAM without a display must end with STATUS.
run() {
  local want=$1 status=0
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/full \
    "$@" >"$out" 2>"$err" || status=$?
  ((status == want)) || fail "$* ended with $status, not $want: $(cat "$out" "$err")"
}

for program in "$piece" "$capture" "$stills"; do
  name=$(basename "$program")
  run 0 "$program" --version
  [[ $(cat "$out") == "$name $version" ]] || fail "$name --version said '$(cat "$out")'"
  run 0 "$program" --help
  grep -q "$data_dir" "$out" || fail "$name --help does not name $data_dir: $(cat "$out")"
  run 2 "$program" --no-such-option
  [[ ! -s $out ]] || fail "$name printed to stdout for a bad argument: $(cat "$out")"
  grep -q -- "--help" "$err" || fail "$name did not point to --help: $(cat "$err")"
done
run 2 "$piece" --no-such-option
grep -q "unknown argument '--no-such-option'" "$err" || fail "the piece: $(cat "$err")"

# The piece's answers must not depend on where an argument stands, and a
# known argument beside an unknown one is still refused.
run 0 "$piece" -h
grep -q '^Usage: quorvane' "$out" || fail "-h: $(cat "$out")"
run 2 "$piece" --version extra
grep -q "unknown argument 'extra'" "$err" || fail "$(cat "$err")"
echo "--version, --help and bad arguments answered by all three programs"
