#!/usr/bin/env bash
# Makes the README's pictures: docs/tab-<n>-<name>.png and
# docs/entry-dialog.png of the address manager (tools/tab_pictures starts it
# under Wine, in a private prefix on a private Xvfb display, with a few
# entries and takes a picture of every tab and of the entry dialog), and
# docs/setup-*.png and docs/qxuninst.png of the package folder's wizard and
# uninstaller (tools/package_pictures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build/win64" --target tab_pictures package_pictures

run=$(mktemp -d /tmp/qxdocs.XXXXXX)
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap 'qx_wine_stop; rm -rf "$run"' EXIT
qx_wine_start "$run" xvfb
mkdir -p "$run/pictures" "$root/docs"
windows() { local p=$1; echo "Z:${p//\//\\}"; }
wine "$build/win64/tools/tab_pictures.exe" "$(windows "$build/win64/manager/qxinet.exe")" \
  "$(windows "$run/pictures")"
wine "$build/win64/tools/package_pictures.exe" "$(windows "$build/win64/package")" \
  "$(windows "$run/pictures")"
for bmp in "$run/pictures"/*.bmp; do
  convert "$bmp" "$root/docs/$(basename "${bmp%.bmp}").png"
done
echo "pictures of every tab, the entry dialog, the wizard and the uninstaller in $root/docs"
