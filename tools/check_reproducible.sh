#!/usr/bin/env bash
# Builds the package twice, from two copies of the sources in different
# folders, and compares the files byte by byte. Needs the packages of setup.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/qxrepro.XXXXXX)
trap 'rm -rf "$work"' EXIT
for n in 1 2; do
  mkdir -p "$work/src$n"
  git -C "$root" archive HEAD | tar -x -C "$work/src$n"
  cmake -S "$work/src$n" -B "$work/build-$n" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$work/src$n/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$work/build-$n" --target qx_package >/dev/null
done
status=0
for f in "$work/build-1/package/"*; do
  name=$(basename "$f")
  if cmp -s "$f" "$work/build-2/package/$name"; then echo "same: $name"; else echo "DIFFERENT: $name"; status=1; fi
done
exit $status
