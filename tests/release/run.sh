#!/usr/bin/env bash
# The downloads of `make release` checked: checksums, lintian, the desktop
# entry, the AppStream data, an install into a fresh Debian root, and a second
# release elsewhere compared byte for byte.
#   run.sh DIST RELBUILD
set -uo pipefail
dist=$(realpath "$1") relbuild=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
deb=$(echo "$dist"/quorvane_*_amd64.deb)
passed=0 failed=0
check() {
  local name=$1
  shift
  echo "=== $name"
  local started=$SECONDS
  if "$@"; then
    echo "--- passed: $name ($((SECONDS - started)) s)"
    passed=$((passed + 1))
  else
    echo "--- FAILED: $name ($((SECONDS - started)) s)"
    failed=$((failed + 1))
  fi
}

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

checksums() { (cd "$dist" && sha256sum --check --strict SHA256SUMS); }
# Errors fail; the warnings left are printed (and explained in the README's
# release notes).
lint() { lintian --fail-on error --display-info "$deb"; }
desktop() { desktop-file-validate "$unpacked"/usr/share/applications/*.desktop; }
appstream() { appstreamcli validate --no-net --strict --explain "$unpacked"/usr/share/metainfo/*.metainfo.xml; }

check "SHA256SUMS" checksums
check "lintian" lint
check "desktop entry" desktop
check "AppStream data" appstream
check "fresh Debian root" bash "$here/fresh_root_test.sh" "$deb" "$relbuild"
check "second release" bash "$here/reproducible_test.sh" "$dist"
echo "$passed passed, $failed failed"
((failed == 0))
