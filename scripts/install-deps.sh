#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need.
# Idempotent: packages already present are left alone, and the package lists are
# refreshed once, only when something is missing.
#   scripts/install-deps.sh            build, run and test on Linux
#   scripts/install-deps.sh --windows  also the cross compiler and Wine
set -euo pipefail

packages=(
  # build and tests
  cmake g++ make pkg-config libgtest-dev libbenchmark-dev
  # drawing: OpenGL 1.1 + GLU, headless through EGL on Mesa
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  # the real-time host: window, input and music
  libsdl2-dev libsdl2-mixer-dev
  # asset generators and the capture tool
  libfreetype-dev fonts-dejavu-core fonts-dejavu-extra libmp3lame-dev libpng-dev ffmpeg
  # end-to-end tests: independent readers, a virtual display, a fast clock
  xvfb xauth x11-apps xdotool libx11-dev faketime mpg123 imagemagick
)
if [[ "${1:-}" == "--windows" ]]; then
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
             gstreamer1.0-plugins-base gstreamer1.0-plugins-good zip unzip)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
