#!/usr/bin/env bash
# Every download carries the licences of what is inside it: for each component
# its bill of materials lists, the Windows and web zips' THIRD-PARTY-NOTICES.txt
# names it with its licence and holds its package's copyright file, and the
# .deb's copyright names its package. The programs' link maps must have found
# code in the exe and the page, not only the font. The bills of materials
# validate against CycloneDX 1.5's schema, and the source tree is REUSE clean.
#   licences_test.sh DIST
set -euo pipefail
dist=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$(git -C "$here" rev-parse --show-toplevel)" && reuse lint --quiet) || fail "reuse lint"

(cd "$here/sbom" && { [[ node_modules/.package-lock.json -nt package-lock.json ]] ||
  npm ci --no-audit --no-fund --silent; })
sboms=("$dist"/*.cdx.json)
[[ ${#sboms[@]} -eq 5 ]] || fail "${#sboms[@]} bills of materials, not one for each of the 5 downloads"
node "$here/sbom/validate.mjs" "${sboms[@]}"

# NAME TAB VERSION TAB PACKAGE TAB LICENCE TAB TYPE, for each component.
components() {
  python3 -c 'import json, sys
for c in json.load(open(sys.argv[1]))["components"]:
    package = c["purl"].split("/")[2].split("@")[0]
    print(c["name"], c["version"], package, c["licenses"][0]["expression"], c["type"], sep="\t")' "$1"
}

for zip in "$dist"/*-win64.zip "$dist"/*-web.zip; do
  name=$(basename "$zip")
  unzip -q -o -d "$work/$name" "$zip" THIRD-PARTY-NOTICES.txt LICENSE.txt ||
    fail "$name lacks THIRD-PARTY-NOTICES.txt or LICENSE.txt"
  notices=$work/$name/THIRD-PARTY-NOTICES.txt
  code=0
  while IFS=$'\t' read -r component version package licence type; do
    grep -qF -- "- $component $version (Debian package $package): $licence; inside as" "$notices" ||
      fail "$name: the notices do not give $component $version under $licence"
    grep -qF "========== $package: " "$notices" || fail "$name: no copyright file of $package"
    [[ $type == data ]] || code=$((code + 1))
  done < <(components "$dist/$name.cdx.json")
  ((code > 0)) || fail "$name: its bill of materials found no code of others in the program"
done

for deb in "$dist"/quorvane_*_amd64.deb "$dist"/quorvane_*_arm64.deb; do
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/quorvane/copyright >"$work/copyright"
  while IFS=$'\t' read -r component version package licence type; do
    grep -qw -- "$package" "$work/copyright" ||
      fail "$(basename "$deb"): its copyright does not name $package ($component)"
  done < <(components "$deb.cdx.json")
done
echo "licences: reuse lint clean, ${#sboms[@]} valid bills of materials, every component's notice inside"
