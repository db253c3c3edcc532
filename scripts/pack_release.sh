#!/usr/bin/env bash
# Packs the built downloads into DIST with their checksums, the same bytes
# on every run: sorted entries, the release's time on every file, no owner
# names, no compression time stamps.
#   pack_release.sh RELBUILD WINBUILD WEBSITE DIST   (SOURCE_DATE_EPOCH set)
set -euo pipefail
relbuild=$1 winbuild=$2 website=$3 dist=$4
: "${SOURCE_DATE_EPOCH:?must hold the time of the release}"
relbuild=$(realpath "$relbuild") winbuild=$(realpath "$winbuild") website=$(realpath "$website")
dist=$(realpath -m "$dist")
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(quorvane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
export TZ=UTC LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$dist"
mkdir -p "$dist"

# zip FILE FOLDER: the folder's files, at the top of the archive, in name order.
pack_zip() {
  local zipfile=$1 folder=$2
  find "$folder" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$folder" && find . -type f -printf '%P\n' | sort | zip -X -q -9 -@ "$zipfile")
}

cp "$relbuild/cpack/quorvane_${version}_amd64.deb" "$dist/"

mkdir "$work/win"
cp "$winbuild/quorvane.exe" "$winbuild/quorvane.scr" "$winbuild/quorvane-window.cmd" \
  "$winbuild/README.txt" "$relbuild/TEX.tga" "$relbuild/RX_muc.mp3" "$work/win/"
cp LICENSE "$work/win/LICENSE.txt"
chmod 644 "$work/win/"*
pack_zip "$dist/quorvane-$version-win64.zip" "$work/win"

mkdir "$work/web"
cp "$website/"* "$work/web/"
cp LICENSE "$work/web/LICENSE.txt"
chmod 644 "$work/web/"*
pack_zip "$dist/quorvane-$version-web.zip" "$work/web"

# The source: the tracked files as they are in the working tree (what was
# just built), or in an unpacked tarball everything but build output, with
# the release's time in SOURCE_DATE_EPOCH so that it builds the same without git.
src=quorvane-$version
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z >"$work/files"
else
  find . \( -path ./.git -o -path './build*' -o -path ./dist -o -name node_modules \) -prune \
    -o \( -type f -o -type l \) -printf '%P\0' | grep -zv '^SOURCE_DATE_EPOCH$' >"$work/files"
fi
mkdir "$work/$src"
tar --create --null --files-from="$work/files" | tar --extract --directory="$work/$src"
echo "$SOURCE_DATE_EPOCH" >"$work/$src/SOURCE_DATE_EPOCH"
tar --create --format=gnu --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
  --numeric-owner --mode='a+rX,u+w,go-w' --directory="$work" "$src" | gzip -9n >"$dist/$src.tar.gz"

(cd "$dist" && sha256sum -- *.deb *.zip *.tar.gz >SHA256SUMS)
ls -l "$dist"
