#!/usr/bin/env bash
# Installs the Debian packages the engine builds against, when any is missing.
# Prints one line; the package tools' own output goes to a log shown only when
# the installation fails.
set -euo pipefail

# llvm-14 holds the symbolizer clang's sanitizers run (/usr/bin/llvm-symbolizer-14):
# without it their reports show bare addresses, and the tests' leak
# suppressions, which name functions, match nothing.
packages=(
  build-essential cmake pkg-config clang lld libclang-rt-14-dev llvm-14
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg-dev liblua5.1-0-dev libsdl2-dev
  libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev fonts-liberation
  libgif-dev libpixman-1-dev libx11-dev xvfb xauth sox
  openbox xdotool imagemagick x11-utils
  lame mpg123 libmpg123-dev
  openmpt123 libopenmpt-dev
  xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "== Debian packages: all ${#packages[@]} present"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  # Installing takes root: through sudo for anyone else.
  if ! command -v sudo >/dev/null; then
    echo "== Debian packages: ${#missing[@]} missing (${missing[*]})"
    echo "Installing them takes root, and sudo is not installed: run this as root, or have someone who may" \
         "install them run: apt-get install ${missing[*]}"
    exit 1
  fi
  sudo_cmd=(sudo)
fi
echo "== Debian packages: installing ${#missing[@]} missing (${missing[*]})${sudo_cmd:+ with sudo}" \
     "from the package sources; this takes a few minutes"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
if ! { "${sudo_cmd[@]}" apt-get update -qq &&
       "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  tail -n 30 "$log"
  echo "Installing the packages failed; the whole output is in $log."
  exit 1
fi
rm -f "$log"
