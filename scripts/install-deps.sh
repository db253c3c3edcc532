#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need.
# Idempotent: packages already present are left alone, and the package lists are
# refreshed once, only when something is missing.
#   scripts/install-deps.sh            build, run and test on Linux
#   scripts/install-deps.sh --windows  also the cross compiler and Wine
#   scripts/install-deps.sh --web      also Emscripten, Chromium and Node (the
#                                      browser tests' npm packages: install-web-tests.sh)
#   scripts/install-deps.sh --release  also what `make release` packs and checks with,
#                                      and the arm64 cross build: Debian's cross
#                                      compiler and debian/control's build
#                                      dependencies for arm64 (multiarch)
#   scripts/install-deps.sh --cluster  also Slurm and munge, for the capture's
#                                      one-node cluster test
#   scripts/install-deps.sh --fuzz     also clang and libFuzzer, and Node for the
#                                      page's property tests, for make fuzz
# The flags combine.
# Where packages cannot be installed (no apt-get, no root and no sudo, no
# network), it names the missing ones and leaves the rest to CMake, which
# stops with the package that each missing part comes from.
set -euo pipefail

arm64=0
packages=(
  # build and tests
  cmake g++ make pkg-config libgtest-dev libbenchmark-dev libcli11-dev
  # drawing: OpenGL 1.1 + GLU, headless through EGL on Mesa
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  # the OpenGL ES 2 headers, for testing the WebGL layer natively
  libgles-dev
  # the real-time host: window, input and music
  libsdl2-dev libsdl2-mixer-dev
  # asset generators and the capture tool
  libfreetype-dev fonts-dejavu-core fonts-dejavu-extra libmp3lame-dev libpng-dev ffmpeg
  # the manifests of a capture's chunks
  nlohmann-json3-dev
  # the soundtrack's master and its report: loudness and true peak, MP3 decoding
  libebur128-dev libmpg123-dev
  # the flash analysis's test (bench/flash_analysis.py)
  python3-numpy
  # end-to-end tests: independent readers, a virtual display, a fast clock
  xvfb xauth x11-apps xdotool libx11-dev faketime mpg123 imagemagick
  # the screen options: window geometry, X events, and an X server with two
  # RandR outputs whose modes can be switched
  x11-utils x11-xserver-utils xserver-xorg-core xserver-xorg-video-dummy
)
for flag in "$@"; do
  case $flag in
    --windows)
      packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
                 gstreamer1.0-plugins-base gstreamer1.0-plugins-good zip unzip) ;;
    --web)
      # emcc needs acorn from node-acorn; npm only where Node came without one.
      packages+=(emscripten node-acorn chromium python3)
      command -v npm >/dev/null || packages+=(npm) ;;
    --release)
      # The Debian package (debhelper, man pages, icons), the bill of
      # materials (node, from --web), signing, checking the package and the source tree's
      # licences, a fresh Debian root to install it into and test it in, and
      # the comparison of two releases.
      packages+=(git dpkg-dev debhelper help2man imagemagick zip unzip python3
                 minisign reuse lintian desktop-file-utils appstream mmdebstrap autopkgtest
                 diffoscope-minimal icoutils crossbuild-essential-arm64 qemu-user-static)
      arm64=1 ;;
    --cluster)
      packages+=(slurmctld slurmd slurm-client munge) ;;
    --fuzz)
      packages+=(clang-14 libclang-rt-14-dev clang nodejs)
      command -v npm >/dev/null || packages+=(npm) ;;
    *) echo "install-deps: unknown flag '$flag' (--windows, --web, --release, --cluster, --fuzz)" >&2
       exit 2 ;;
  esac
done

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
if command -v dpkg-query >/dev/null; then
  for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
else
  missing=("${packages[@]}")
fi
# The arm64 package: the cross compiler and the arm64 builds of debian/control's
# build dependencies, beside the machine's own (each is Multi-Arch: same);
# apt-get build-dep reads them from debian/control, the one list of them.
if ((arm64)); then here=$(cd "$(dirname "$0")/.." && pwd); fi
if ((arm64)) && command -v dpkg-checkbuilddeps >/dev/null &&
   dpkg-checkbuilddeps -a arm64 -P cross "$here/debian/control" >/dev/null 2>&1; then
  arm64=0
fi
[[ ${#missing[@]} -eq 0 ]] && ((arm64 == 0)) && exit 0

give_up() {
  echo "install-deps: $1; could not install: ${missing[*]}" >&2
  echo "install-deps: install them (or your system's equivalents) by hand; the build names what it lacks" >&2
  exit 0
}

command -v apt-get >/dev/null || give_up "no apt-get on this machine"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || give_up "not root and no sudo"
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600)
if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  if ! "${apt[@]}" update -q || ! "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"; then
    still=()
    for p in "${missing[@]}"; do installed "$p" || still+=("$p"); done
    missing=("${still[@]}")
    [[ ${#missing[@]} -eq 0 ]] || give_up "apt-get failed"
  fi
fi
if ((arm64)); then
  echo "install-deps: adding the arm64 architecture and debian/control's arm64 build dependencies"
  missing=("debian/control's build dependencies for arm64")
  { "${sudo[@]}" dpkg --add-architecture arm64 && "${apt[@]}" update -q &&
    "${apt[@]}" build-dep -y -q --no-install-recommends -a arm64 -P cross "$here"; } ||
    give_up "apt-get build-dep -a arm64 failed"
fi
