#!/usr/bin/env bash
# Installs the package into a fresh minimal Debian 12 root (mmdebstrap, apt
# variant: nothing but apt and what it needs) with `apt-get install ./DEB`,
# its dependencies from Debian, and there: `quorvane --version`; a still of
# the piece, which must match the one the release build draws (proof that the
# package's dependencies are enough to draw, textured); the desktop entry's
# command on a private Xvfb display, ended by Escape with status 0; then
# `apt-get purge`, after which no file of the package may be left; last, the
# package's autopkgtest (debian/tests of the source RELBUILD was built from)
# in the same root, which installs the package again with the tests' needs.
#
# Xvfb and xdotool run outside the root, which reaches the display through its
# abstract socket: nothing is installed into the root but the package and its
# dependencies. mmdebstrap mounts and unmounts the root's /proc, /sys and /dev
# itself and removes the root at the end.
#   fresh_root_test.sh DEB RELBUILD   (RELBUILD: the build folder inside the unpacked source)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

if [[ ${1:-} != --inside ]]; then
  deb=$(realpath "$1") relbuild=$(realpath "$2")
  [[ $(id -u) -eq 0 ]] || fail "needs root (mmdebstrap, chroot)"
  # The machine's own Debian sources, as apt reads them.
  sources=$(bash "$here/../../scripts/debian_sources.sh") || fail "no Debian source to make a root from"
  mapfile -t sources <<<"$sources"
  mmdebstrap --variant=apt --mode=root --quiet \
    --customize-hook="bash $(printf %q "$here/fresh_root_test.sh") --inside \"\$1\" $(printf %q "$deb") $(printf %q "$relbuild")" \
    bookworm /dev/null "${sources[@]}"
  echo "installed, ran and purged in a fresh Debian 12 root, then its autopkgtest passed there"
  exit 0
fi

root=$2 deb=$3 relbuild=$4
scratch=$(mktemp -d)
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch" "$root/tmp/quorvane-test"
}
trap stop EXIT
trap 'exit 1' INT TERM HUP
in_root() { chroot "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"; }

mkdir "$root/tmp/quorvane-test"
cp "$deb" "$root/tmp/quorvane-test/"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
in_root env DEBIAN_FRONTEND=noninteractive apt-get -q update >/dev/null
in_root sh -c "cd /tmp/quorvane-test && DEBIAN_FRONTEND=noninteractive \
  apt-get -q -y --no-install-recommends install ./$(basename "$deb")" >"$scratch/install.log" 2>&1 ||
  fail "apt-get install: $(tail -n 20 "$scratch/install.log")"
in_root dpkg -L quorvane >"$scratch/files"

version=$(dpkg-deb -f "$deb" Version)
version=${version%-*}  # the upstream version, without the Debian revision
[[ $(in_root quorvane --version) == "quorvane $version" ]] ||
  fail "quorvane --version said '$(in_root quorvane --version)', not 'quorvane $version'"

# A still from the installed data folder (the working directory holds no
# TEX.tga), against the release build's own.
in_root sh -c 'cd /tmp/quorvane-test && mkdir stills && quorvane-stills 320 180 stills 100' \
  >/dev/null 2>"$scratch/stills.log" || fail "quorvane-stills: $(cat "$scratch/stills.log")"
! grep -q 'TEX.tga' "$scratch/stills.log" || fail "the still had no atlas: $(cat "$scratch/stills.log")"
mkdir "$scratch/reference"
(cd "$relbuild" && ./quorvane-stills 320 180 "$scratch/reference" 100 >/dev/null)
psnr=$(compare -metric PSNR "$root/tmp/quorvane-test/stills/still-100000ms.png" \
  "$scratch/reference/still-100000ms.png" null: 2>&1 || true)
[[ $psnr == inf || ${psnr%.*} -ge 40 ]] || fail "the installed still differs from the build's: PSNR $psnr dB"

# The menu's command: Exec of the installed desktop entry.
desktop=$(grep '^/usr/share/applications/.*\.desktop$' "$scratch/files")
exec_line=$(sed -n 's/^Exec=//p' "$root$desktop")
Xvfb -displayfd 3 -screen 0 640x360x24 -nolisten tcp -br 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 300); do grep -qx '[0-9]\+' "$scratch/display" && break; sleep 0.1; done
display=:$(cat "$scratch/display")
# chroot itself in the background, so that its process id is the piece's.
chroot "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root DISPLAY="$display" \
  SDL_AUDIODRIVER=dummy sh -c "exec $exec_line" >"$scratch/piece.log" 2>&1 &
piece=$!
pids+=($piece)
shown=0
for _ in $(seq 300); do
  if DISPLAY=$display xdotool search --onlyvisible --name '^quorvane$' >/dev/null 2>&1; then shown=1; break; fi
  kill -0 "$piece" 2>/dev/null || break
  sleep 0.2
done
((shown)) || fail "the menu's command '$exec_line' showed no window: $(cat "$scratch/piece.log")"
sleep 1
DISPLAY=$display xdotool key Escape
status=0
for _ in $(seq 150); do kill -0 "$piece" 2>/dev/null || break; sleep 0.2; done
kill -0 "$piece" 2>/dev/null && fail "Escape did not end the piece"
wait "$piece" || status=$?
((status == 0)) || fail "the piece ended with status $status: $(cat "$scratch/piece.log")"

in_root env DEBIAN_FRONTEND=noninteractive apt-get -q -y purge quorvane >/dev/null
left=()
while read -r path; do
  # dpkg lists the root folder of a debhelper-built package as "/.".
  [[ $path == /. ]] && continue
  [[ -e $root$path || -L $root$path ]] || continue
  # A folder that other packages own as well stays.
  [[ -d $root$path && ! -L $root$path ]] && in_root dpkg -S "$path" >/dev/null 2>&1 && continue
  left+=("$path")
done <"$scratch/files"
((${#left[@]} == 0)) || fail "left after purge: ${left[*]}"

autopkgtest --quiet --output-dir "$scratch/autopkgtest" "$deb" "$(dirname "$relbuild")/" \
  -- chroot "$root" >"$scratch/autopkgtest.log" 2>&1 ||
  fail "autopkgtest: $(tail -n 30 "$scratch/autopkgtest.log")"
