#!/usr/bin/env bash
# Builds the benchmarks and prints their figures under Wine, in a private
# prefix on a private Xvfb display (both ended afterwards): the store on its
# own, qxinet.exe worked from outside over 10 and 100,000 records, and its imports
# and HTML export.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build/win64" --target store_bench pages_bench import_bench

run=$(mktemp -d /tmp/qxbench.XXXXXX)
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap 'qx_wine_stop; rm -rf "$run"' EXIT
qx_wine_start "$run" xvfb
echo "== store"
wine "$build/win64/bench/store_bench.exe"
echo "== qxinet.exe"
wine "$build/win64/bench/pages_bench.exe"
echo "== import and export"
(cd "$build/win64/bench" && wine ./import_bench.exe)
