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
# The Windows program: an icon group with id 1 (what Explorer shows) and none
# with IDI_APPLICATION's id, which the window class asks for; the version in
# its version resource; no link time in its header.
windows() {
  unzip -q -d "$unpacked/win" "$dist"/quorvane-*-win64.zip quorvane.exe || return 1
  local exe=$unpacked/win/quorvane.exe version resources strings header
  version=$(dpkg-deb -f "$deb" Version)
  resources=$(wrestool -l "$exe")
  strings=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' ' ')
  header=$(x86_64-w64-mingw32-objdump -p "$exe")
  grep -q -- '--type=14 --name=1 ' <<<"$resources" || { echo "no icon group 1: $resources"; return 1; }
  ! grep -q -- '--name=32512' <<<"$resources" || { echo "an icon as IDI_APPLICATION"; return 1; }
  grep -q "FileVersion *$version " <<<"$strings" || { echo "no FileVersion $version"; return 1; }
  grep -q '^Time/Date.*1970$' <<<"$header" || { grep Time/Date <<<"$header"; return 1; }
}
appstream() { appstreamcli validate --no-net --strict --explain "$unpacked"/usr/share/metainfo/*.metainfo.xml; }

check "SHA256SUMS" checksums
check "lintian" lint
check "desktop entry" desktop
check "AppStream data" appstream
check "Windows resources" windows
check "fresh Debian root" bash "$here/fresh_root_test.sh" "$deb" "$relbuild"
check "second release" bash "$here/reproducible_test.sh" "$dist"
echo "$passed passed, $failed failed"
((failed == 0))
