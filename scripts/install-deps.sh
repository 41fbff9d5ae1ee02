#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing ptk-inspector need. Safe to run
# again: it asks apt only for what is missing, so it is quick once everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev googletest
  xvfb xauth xdotool fonts-dejavu-core
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine socat nsis librsvg2-bin icoutils xclip
  imagemagick
  clang-format-14 clang libclang-rt-dev
  dpkg-dev desktop-file-utils lintian appstream
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
