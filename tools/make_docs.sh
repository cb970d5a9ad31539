#!/usr/bin/env bash
# Makes the pictures of the address manager's tabs for the README,
# docs/tab-<n>-<name>.png and docs/entry-dialog.png: builds qxinet and
# tools/tab_pictures, which starts it under Wine (private prefix, private Xvfb
# display) with a few entries and takes a picture of every tab and of the
# entry dialog.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build/win64" --target tab_pictures

run=$(mktemp -d /tmp/qxdocs.XXXXXX)
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap 'qx_wine_stop; rm -rf "$run"' EXIT
qx_wine_start "$run" xvfb
mkdir -p "$run/pictures" "$root/docs"
windows() { local p=$1; echo "Z:${p//\//\\}"; }
wine "$build/win64/tools/tab_pictures.exe" "$(windows "$build/win64/manager/qxinet.exe")" \
  "$(windows "$run/pictures")"
for bmp in "$run/pictures"/*.bmp; do
  convert "$bmp" "$root/docs/$(basename "${bmp%.bmp}").png"
done
echo "pictures of every tab and of the entry dialog in $root/docs"
