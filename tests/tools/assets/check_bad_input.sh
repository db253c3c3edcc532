#!/usr/bin/env bash
# The generators answer bad arguments with a message and a failure status, and
# leave no partial output behind.
#   check_bad_input.sh ATLAS_GEN MUSIC_GEN TITLE_FONT LINE_FONT
set -euo pipefail
atlasGen=$1 musicGen=$2 titleFont=$3 lineFont=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# expect_failure STATUS TEXT COMMAND...: runs COMMAND, wants that status and TEXT on stderr.
expect_failure() {
  local want=$1 text=$2 status=0
  shift 2
  "$@" 2>"$work/stderr" || status=$?
  [[ $status == "$want" ]] || fail "$* exited $status, wanted $want"
  grep -q "$text" "$work/stderr" || fail "$* said '$(cat "$work/stderr")', wanted '$text'"
}

expect_failure 2 "OUTPUT is required" "$atlasGen"
expect_failure 2 "LINE_FONT is required" "$atlasGen" "$work/TEX.tga" "$titleFont"
expect_failure 2 "OUTPUT is required" "$musicGen"
expect_failure 2 "not expected: extra" "$musicGen" a.mp3 extra
expect_failure 1 "cannot load the font" "$atlasGen" "$work/TEX.tga" "$work/missing.ttf" "$lineFont"
echo "not a font" >"$work/bad.ttf"
expect_failure 1 "cannot load the font" "$atlasGen" "$work/TEX.tga" "$titleFont" "$work/bad.ttf"
echo "not a folder" >"$work/a-file"
expect_failure 1 "cannot write '$work/a-file/TEX.tga': Not a directory" "$atlasGen" "$work/a-file/TEX.tga" "$titleFont" "$lineFont"
[[ -z $(ls -A "$work" | grep -v -e stderr -e bad.ttf -e a-file) ]] || fail "left files behind: $(ls "$work")"
echo "bad input refused"
