#!/usr/bin/env bash
# Installs the Debian packages the engine builds against, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg-dev liblua5.1-0-dev libsdl2-dev
  libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev fonts-liberation
  libgif-dev libpixman-1-dev xvfb xauth sox
  lame mpg123 libmpg123-dev
  openmpt123 libopenmpt-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
