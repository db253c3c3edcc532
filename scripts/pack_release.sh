#!/usr/bin/env bash
# Packs the built downloads into DIST: the Debian package and its source
# package, the Windows and web zips with the notices of the other projects'
# code inside them, the source tarball, a CycloneDX bill of materials for each
# download, SHA256SUMS, and with a minisign secret key SHA256SUMS.minisig.
# The same bytes on every run: sorted entries, the release's time on every
# file, no owner names, no compression time stamps.
#   pack_release.sh RELBUILD WINBUILD WEBBUILD DIST [MINISIGN_KEY]   (SOURCE_DATE_EPOCH set)
set -euo pipefail
relbuild=$1 winbuild=$2 webbuild=$3 dist=$4 key=${5:-}
: "${SOURCE_DATE_EPOCH:?must hold the time of the release}"
relbuild=$(realpath "$relbuild") winbuild=$(realpath "$winbuild") webbuild=$(realpath "$webbuild")
dist=$(realpath -m "$dist")
[[ -z $key ]] || key=$(realpath -m "$key")
cd "$(dirname "$0")/.."
version=$(bash scripts/version.sh)
debian_version=$(dpkg-parsechangelog -S Version)
relobj=$relbuild/quorvane-$version/obj-$(dpkg-architecture -qDEB_HOST_GNU_TYPE)
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

# The glyphs on the atlas's title cards are the font's.
font=$(grep -o '/usr/share/fonts/[^ )]*\.ttf' tools/atlas_gen/CMakeLists.txt | sort -u)
components() { python3 scripts/release_components.py "$@" --data $font; }

# notices COMPONENTS OUT: for each component its name, version and licence,
# then the copyright file of each Debian package it came from.
notices() {
  local list=$1 out=$2
  {
    echo "quorvane $version contains code and data of the projects below, as built"
    echo "by Debian 12's packages. quorvane itself: MIT, in LICENSE.txt."
    echo
    awk -F'\t' '{ printf "- %s %s (Debian package %s): %s; inside as %s\n", $1, $3, $2, $5, $6 }' "$list"
    for package in $(cut -f2 "$list" | sort -u); do
      printf '\n========== %s: /usr/share/doc/%s/copyright\n\n' "$package" "$package"
      cat "/usr/share/doc/$package/copyright"
    done
  } >"$out"
}

deb=quorvane_${version}_amd64.deb arm64_deb=quorvane_${version}_arm64.deb
cp "$relbuild/quorvane_${debian_version}_amd64.deb" "$dist/$deb"
cp "$relbuild/arm64/quorvane_${debian_version}_arm64.deb" "$dist/$arm64_deb"
cp "$relbuild/quorvane_${debian_version}.dsc" "$relbuild/quorvane_${debian_version}.debian.tar.xz" \
  "$dist/"
programs=(quorvane quorvane-screensaver quorvane-capture quorvane-join quorvane-stills)
components "$relobj" --programs "${programs[@]}" \
  --multiarch "$(dpkg-architecture -qDEB_HOST_MULTIARCH)" >"$work/deb.tsv"
components "$relbuild/arm64/quorvane-$version/obj-aarch64-linux-gnu" --programs "${programs[@]}" \
  --multiarch aarch64-linux-gnu >"$work/arm64_deb.tsv"

mkdir "$work/win"
cp "$winbuild/quorvane.exe" "$winbuild/quorvane.scr" "$winbuild/quorvane-window.cmd" \
  "$winbuild/README.txt" "$relobj/TEX.tga" "$relobj/RX_muc.mp3" "$work/win/"
cp LICENSE "$work/win/LICENSE.txt"
components "$winbuild" --programs quorvane quorvane-scr --map "$winbuild/quorvane.map" \
  >"$work/win.tsv"
notices "$work/win.tsv" "$work/win/THIRD-PARTY-NOTICES.txt"
chmod 644 "$work/win/"*
pack_zip "$dist/quorvane-$version-win64.zip" "$work/win"

mkdir "$work/web"
cp "$webbuild/site/"* "$work/web/"
cp LICENSE "$work/web/LICENSE.txt"
components "$webbuild" --programs quorvane --map "$webbuild/quorvane.map" >"$work/web.tsv"
notices "$work/web.tsv" "$work/web/THIRD-PARTY-NOTICES.txt"
chmod 644 "$work/web/"*
pack_zip "$dist/quorvane-$version-web.zip" "$work/web"

# The Debian source package's original tarball, under the release's name.
cp "$relbuild/quorvane_$version.orig.tar.gz" "$dist/quorvane-$version.tar.gz"
: >"$work/source.tsv"

for pair in "$deb deb" "$arm64_deb arm64_deb" "quorvane-$version-win64.zip win" "quorvane-$version-web.zip web" \
            "quorvane-$version.tar.gz source"; do
  read -r file list <<<"$pair"
  node scripts/sbom.mjs "$dist/$file" "$version" <"$work/$list.tsv" >"$dist/$file.cdx.json"
done

(cd "$dist" && sha256sum -- *.deb *.dsc *.debian.tar.xz *.zip *.tar.gz *.cdx.json >SHA256SUMS)
bash scripts/sign_release.sh "$dist" "$key"
ls -l "$dist"
