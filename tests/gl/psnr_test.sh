#!/usr/bin/env bash
# The piece drawn through gl/gles on OpenGL ES 2 against Mesa's own fixed
# function, at five moments: the backdrop alone (2 s), the sphere (30 s), the
# rings (100 s), the dive (160 s) and the title cards over the fade (222 s).
# Both stills tools run in the folder holding the generated TEX.tga; each pair
# of pictures must agree to a PSNR of at least 40 dB. ImageMagick reads them.
#
# Expects in the environment (CTest sets them): STILLS, STILLS_GLES, ASSET_DIR.
set -euo pipefail

readonly kMinimumPsnr=40
readonly seconds=(2 30 100 160 222)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/gl" "$scratch/gles"

cd "$ASSET_DIR"
[[ -f TEX.tga ]] || { echo "FAIL: no TEX.tga in $ASSET_DIR" >&2; exit 1; }
"$STILLS" 320 180 "$scratch/gl" "${seconds[@]}" >/dev/null
# Held to ES 2.0 exactly, as WebGL 1 holds the layer.
MESA_GLES_VERSION_OVERRIDE=2.0 "$STILLS_GLES" 320 180 "$scratch/gles" "${seconds[@]}" >/dev/null

status=0
for s in "${seconds[@]}"; do
  name=still-$((s * 1000))ms.png
  # compare's exit status says "different", not "failed": the figure decides.
  psnr=$(compare -metric PSNR -alpha off "$scratch/gl/$name" "$scratch/gles/$name" null: 2>&1 ||
         true)
  if [[ ! $psnr =~ ^(inf|[0-9]+(\.[0-9]+)?)$ ]]; then
    echo "FAIL: $s s: compare said: $psnr" >&2
    status=1
  elif [[ $psnr != inf ]] && awk -v p="$psnr" -v m="$kMinimumPsnr" 'BEGIN { exit !(p < m) }'; then
    echo "FAIL: $s s: PSNR $psnr dB, below $kMinimumPsnr dB" >&2
    status=1
  else
    echo "$s s: PSNR $psnr dB"
  fi
done
exit $status
