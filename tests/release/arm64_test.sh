#!/usr/bin/env bash
# The arm64 package's programs under qemu-user against the amd64 package's:
# the same atlas and music (made on the build machine for both), the same
# --version lines, the same simulation hashes at every checkpoint
# (quorvane-sim-hashes of each build folder), and a headless still that
# agrees with amd64's (Mesa draws it on each side, so a few levels may
# differ: byte-equal or a PSNR of at least 35 dB).
#   arm64_test.sh DIST AMD64_OBJ ARM64_OBJ
set -euo pipefail
dist=$(realpath "$1") amd64_obj=$(realpath "$2") arm64_obj=$(realpath "$3")
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
qemu=(qemu-aarch64-static)

for arch in amd64 arm64; do
  dpkg-deb -x "$(echo "$dist"/quorvane_*_$arch.deb)" "$work/$arch"
done
readelf -h "$work/arm64/usr/lib/quorvane/quorvane" | grep -q 'Machine: *AArch64' ||
  fail "the arm64 package's program is not an AArch64 program"
for file in TEX.tga RX_muc.mp3; do
  cmp -s "$work/amd64/usr/share/quorvane/$file" "$work/arm64/usr/share/quorvane/$file" ||
    fail "the arm64 package's $file differs from the amd64 package's"
done

for program in lib/quorvane/quorvane bin/quorvane-capture bin/quorvane-join bin/quorvane-stills; do
  native=$("$work/amd64/usr/$program" --version)
  emulated=$("${qemu[@]}" "$work/arm64/usr/$program" --version) || fail "$program --version under qemu"
  [[ $native == "$emulated" ]] || fail "$program --version: '$emulated' on arm64, '$native' on amd64"
done

for obj in "$amd64_obj" "$arm64_obj"; do
  cmake --build "$obj" --target quorvane-sim-hashes -- --no-print-directory >/dev/null
done
"${qemu[@]}" "$arm64_obj/quorvane-sim-hashes" >"$work/hashes-arm64" &
hashes=$!
for arch in amd64 arm64; do
  mkdir "$work/still-$arch"
  cp "$work/$arch/usr/share/quorvane/TEX.tga" "$work/still-$arch/"
done
(cd "$work/still-arm64" && "${qemu[@]}" "$work/arm64/usr/bin/quorvane-stills" 320 180 . 100 >/dev/null) ||
  fail "quorvane-stills under qemu"
wait "$hashes" || fail "quorvane-sim-hashes under qemu"
"$amd64_obj/quorvane-sim-hashes" >"$work/hashes-amd64"
diff "$work/hashes-amd64" "$work/hashes-arm64" || fail "the simulation hashes differ (amd64 <, arm64 >)"
echo "simulation hashes at $(wc -l <"$work/hashes-amd64") checkpoints: arm64 = amd64"

(cd "$work/still-amd64" && "$work/amd64/usr/bin/quorvane-stills" 320 180 . 100 >/dev/null)
a=$work/still-amd64/still-100000ms.png b=$work/still-arm64/still-100000ms.png
if cmp -s "$a" "$b"; then
  echo "the still at 100 s: byte-equal"
else
  psnr=$(compare -metric PSNR "$a" "$b" null: 2>&1 || true)
  awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 35 || p == "inf") }' ||
    fail "the still at 100 s: PSNR $psnr dB between arm64 and amd64"
  echo "the still at 100 s: PSNR $psnr dB between arm64 and amd64"
fi
