#!/usr/bin/env bash
# The Debian source package and the .deb built from it, into RELBUILD: the
# release's source tarball is the original tarball, unpacked and built by
# dpkg-buildpackage (debhelper installs what CMake's install rules install).
# The build folder, RELBUILD/quorvane-VERSION/obj-<triplet>, then holds the
# atlas, music and icons for the Windows and web builds.
# With ARCH (arm64), the .deb for that architecture instead, cross-built from
# the same original tarball in RELBUILD/ARCH/ (Debian's cross compiler, the
# architecture's multiarch libraries, qemu-user for the build's own tools).
#   build_deb.sh RELBUILD [ARCH]   (SOURCE_DATE_EPOCH set; JOBS parallel jobs)
set -euo pipefail
: "${SOURCE_DATE_EPOCH:?must hold the time of the release}"
relbuild=$(realpath -m "$1") arch=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
version=$(bash "$here/version.sh")
debian_version=$(dpkg-parsechangelog -l "$here/../debian/changelog" -S Version)
[[ ${debian_version%-*} == "$version" ]] ||
  { echo "release: debian/changelog is at $debian_version, CMakeLists.txt at $version" >&2; exit 1; }
orig=$relbuild/quorvane_$version.orig.tar.gz
options=(--no-sign)

if [[ -z $arch ]]; then
  mkdir -p "$relbuild"
  rm -rf "$relbuild/quorvane-$version" "$relbuild"/quorvane_*
  bash "$here/source_tarball.sh" "$orig"
  options+=(-sa)
else
  [[ -f $orig ]] || { echo "release: no $orig: build the source package first" >&2; exit 1; }
  relbuild=$relbuild/$arch
  rm -rf "$relbuild"
  mkdir -p "$relbuild"
  options+=(-B -a "$arch" -Pcross)
fi
tar -xzf "$orig" -C "$relbuild"
cd "$relbuild/quorvane-$version"
umask 022
DEB_BUILD_OPTIONS="parallel=${JOBS:-2}" dpkg-buildpackage "${options[@]}"
