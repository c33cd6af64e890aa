#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and the fuzzers need.
# Only missing packages are installed; apt's lists are refreshed once, and only when needed.
set -euo pipefail

packages=(
  # build
  cmake ninja-build ccache pkg-config g++ clang libclang-rt-14-dev clang-format
  # sanitizer reports with function names, files and lines: clang's llvm-symbolizer
  llvm-14
  qt6-base-dev qt6-base-private-dev qt6-qpa-plugins libjpeg62-turbo-dev zlib1g-dev
  # tests and fonts
  libgtest-dev libgmock-dev fonts-dejavu-core fonts-liberation2 fontconfig
  # the suite on a real window system: a virtual X display, a window manager, X property tools,
  # the X server's own pointer and buttons
  xvfb xauth openbox x11-utils xdotool
  # benchmarks, test oracles and peers
  libbenchmark-dev libpng-dev libgif-dev libpixman-1-dev imagemagick libvips-tools
  libjpeg-turbo-progs
)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
