#!/usr/bin/env bash
# Sets up the machine, builds qxinet.exe and starts it under Wine in a data
# folder of its own (the data file lives in the program's current directory).
#   QXINET_DATA  the data folder (default: ~/qxinet-data)
#   WINEPREFIX   the Wine prefix (default: ~/.local/share/qxinet/wine)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}

# Said before anything is installed or built, not after.
if [ -z "${DISPLAY:-}" ]; then
  echo "qxinet is a Windows program with a window and needs a display, but DISPLAY is not set." >&2
  echo "Start this command from a desktop session, or give it a virtual one:" >&2
  echo "  xvfb-run -a $0" >&2
  exit 1
fi

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build/run" --target qxinet

data=${QXINET_DATA:-$HOME/qxinet-data}
mkdir -p "$data"
export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/qxinet/wine}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX ..."
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
qx_wine_fonts
echo "Data folder: $data (qxinetvz.dat and its backup qxinetvz.bak are kept there)"
cd "$data"
exec wine "$build/run/manager/qxinet.exe"
