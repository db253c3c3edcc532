#!/usr/bin/env bash
# The downloads of `make release` checked: checksums, the signature, the
# licences and bills of materials, lintian, the desktop entry, the AppStream
# data, an install into a fresh Debian root with the package's autopkgtest,
# the arm64 programs under qemu-user against the amd64 ones, and a second
# release elsewhere, varied, compared byte for byte.
#   run.sh DIST RELBUILD ARM64_RELBUILD
set -uo pipefail
dist=$(realpath "$1") relbuild=$(realpath "$2") arm64_relbuild=$(realpath "$3")
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
# The source package and the binary one: neither errors nor warnings. The
# .dsc names its original tarball as Debian does: the release's tarball.
lint() {
  local dsc=("$dist"/quorvane_*.dsc) upstream
  upstream=$(basename "${dsc[0]}" .dsc)
  upstream=${upstream#quorvane_}
  upstream=${upstream%-*}
  ln -sf "$dist"/quorvane_*.dsc "$dist"/quorvane_*.debian.tar.xz "$unpacked/"
  ln -sf "$dist/quorvane-$upstream.tar.gz" "$unpacked/quorvane_$upstream.orig.tar.gz"
  lintian --fail-on error,warning --display-info "$unpacked/$(basename "${dsc[0]}")" "$deb"
}
desktop() { desktop-file-validate "$unpacked"/usr/share/applications/*.desktop; }
# The Windows program: an icon group with id 1 (what Explorer shows) and none
# with IDI_APPLICATION's id, which the window class asks for; the version in
# its version resource; no link time in its header.
windows() {
  unzip -q -d "$unpacked/win" "$dist"/quorvane-*-win64.zip quorvane.exe || return 1
  local exe=$unpacked/win/quorvane.exe version resources strings header
  version=$(dpkg-deb -f "$deb" Version)
  version=${version%-*}
  resources=$(wrestool -l "$exe")
  strings=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' ' ')
  header=$(x86_64-w64-mingw32-objdump -p "$exe")
  grep -q -- '--type=14 --name=1 ' <<<"$resources" || { echo "no icon group 1: $resources"; return 1; }
  ! grep -q -- '--name=32512' <<<"$resources" || { echo "an icon as IDI_APPLICATION"; return 1; }
  grep -q "FileVersion *$version " <<<"$strings" || { echo "no FileVersion $version"; return 1; }
  grep -q '^Time/Date.*1970$' <<<"$header" || { grep Time/Date <<<"$header"; return 1; }
}
# With no Debian source in apt's configuration, a root cannot be made: the
# message says what to add.
no_sources() {
  mkdir -p "$unpacked/apt/parts"
  printf 'Dir::Etc::sourcelist "%s";\nDir::Etc::sourceparts "%s";\n' "$unpacked/apt/none.list" \
    "$unpacked/apt/parts" >"$unpacked/apt/apt.conf"
  local said
  if said=$(APT_CONFIG=$unpacked/apt/apt.conf bash "$here/../../scripts/debian_sources.sh" 2>&1); then
    echo "found sources where none are: $said"; return 1
  fi
  grep -q 'no Debian 12 (bookworm) source configured' <<<"$said" || { echo "$said"; return 1; }
}
appstream() { appstreamcli validate --no-net --strict --explain "$unpacked"/usr/share/metainfo/*.metainfo.xml; }

check "SHA256SUMS" checksums
check "signature" bash "$here/signature_test.sh" "$dist"
check "licences and bills of materials" bash "$here/licences_test.sh" "$dist"
check "no Debian source configured" no_sources
check "lintian" lint
check "desktop entry" desktop
check "AppStream data" appstream
check "Windows resources" windows
check "fresh Debian root" bash "$here/fresh_root_test.sh" "$deb" "$relbuild"
check "arm64 under qemu-user" bash "$here/arm64_test.sh" "$dist" "$relbuild" "$arm64_relbuild"
check "second release" bash "$here/reproducible_test.sh" "$dist"
echo "$passed passed, $failed failed"
((failed == 0))
