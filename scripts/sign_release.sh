#!/usr/bin/env bash
# Signs DIST/SHA256SUMS with a minisign secret key into SHA256SUMS.minisig;
# without a key, says that the release is not signed.
#   sign_release.sh DIST [SECRET_KEY]
set -euo pipefail
dist=$1 key=${2:-}
if [[ -z $key ]]; then
  echo "release: no MINISIGN_KEY given: SHA256SUMS is NOT signed" >&2
  exit 0
fi
[[ -f $key ]] || { echo "release: no minisign secret key at $key" >&2; exit 1; }
version=$(bash "$(dirname "$0")/version.sh")
# The trusted comment is signed too; no time in it, so that the same key
# gives the same signature.
minisign -S -s "$key" -m "$dist/SHA256SUMS" -x "$dist/SHA256SUMS.minisig" \
  -t "quorvane $version SHA256SUMS" </dev/null
