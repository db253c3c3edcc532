#!/usr/bin/env bash
# Signing with a key made here and thrown away: the signed SHA256SUMS
# verifies with the README's two commands; a changed byte in any download is
# caught by sha256sum, which names the file, and one in SHA256SUMS by minisign.
#   signature_test.sh DIST
set -euo pipefail
dist=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

minisign -G -W -p "$work/test.pub" -s "$work/test.key" </dev/null >/dev/null
cp -r "$dist" "$work/signed"
rm -f "$work/signed/SHA256SUMS.minisig"
bash "$here/../../scripts/sign_release.sh" "$work/signed" "$work/test.key" >/dev/null
# The README's two commands.
verify() {
  (cd "$1" && minisign -Vm SHA256SUMS -p "$work/test.pub" && sha256sum --check --strict SHA256SUMS)
}
verify "$work/signed" >"$work/log" 2>&1 || fail "a signed release does not verify: $(cat "$work/log")"

for file in $(cd "$work/signed" && ls); do
  [[ $file == SHA256SUMS.minisig ]] && continue
  rm -rf "$work/tampered"
  cp -r "$work/signed" "$work/tampered"
  # One byte in the middle, flipped.
  offset=$(($(stat -c %s "$work/tampered/$file") / 2))
  byte=$(od -An -tu1 -j "$offset" -N1 "$work/tampered/$file" | tr -d ' ')
  printf "\\$(printf %03o $(((byte ^ 1) & 255)))" |
    dd of="$work/tampered/$file" bs=1 seek="$offset" conv=notrunc status=none
  if verify "$work/tampered" >"$work/log" 2>&1; then fail "a changed byte in $file went unnoticed"; fi
  if [[ $file == SHA256SUMS ]]; then
    grep -q 'Signature verification failed' "$work/log" || fail "minisign did not say: $(cat "$work/log")"
  else
    grep -q "^$file: FAILED" "$work/log" || fail "the failure does not name $file: $(cat "$work/log")"
  fi
done
echo "signature: verified; a changed byte in each of $(ls "$work/signed" | wc -l) files caught"
