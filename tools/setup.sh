#!/usr/bin/env bash
# Installs, from Debian's packages only, what building and testing QX Internet needs.
# Quick when everything is present; asks nothing; works as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ make            # native build of the portable logic and its tests
  clang libclang-rt-dev                 # libFuzzer for the fuzz targets
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix  # cross compilers, windres
  wine wine64 fonts-wine xvfb xauth     # running the Windows programs and their tests
  googletest                            # GoogleTest sources, built for both targets
  imagemagick                           # window pictures: BMP to PNG
  python3                               # drawing the program icon
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi

echo "setup: installing ${missing[*]}"
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
