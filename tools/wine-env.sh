# Sourced by the test and run scripts: a private Wine prefix and, where needed,
# an Xvfb display, both ended again by qx_wine_stop.
#   qx_wine_start DIR [xvfb]   prefix in DIR/prefix; with "xvfb" a virtual display
#   qx_wine_stop               ends the prefix's processes and the display

qx_wine_start() {
  local dir=$1 want_xvfb=${2:-}
  export WINEPREFIX="$dir/prefix"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all}
  QX_XVFB_PID=""
  if [ "$want_xvfb" = xvfb ]; then
    # Xvfb picks a free display itself and tells which once it accepts
    # connections, so that runs side by side never share one.
    : >"$dir/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    QX_XVFB_PID=$!
    local i n=""
    for i in $(seq 1 100); do
      n=$(tr -dc 0-9 <"$dir/display")
      [ -n "$n" ] && break
      kill -0 "$QX_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ -z "$n" ]; then
      echo "Xvfb did not start (see $dir/xvfb.log)" >&2
      return 1
    fi
    export DISPLAY=":$n"
  fi
  mkdir -p "$WINEPREFIX"
  if [ ! -e "$WINEPREFIX/system.reg" ]; then
    wineboot -i >"$dir/wineboot.log" 2>&1
  fi
  qx_wine_fonts
  # One server for the whole run instead of one per started program.
  wineserver -p 2>/dev/null || true
  # No window manager runs on Xvfb: let Wine draw title bars and frames
  # itself, so that pictures show them and hidden windows go at once.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  # Start the desktop process now: started later by the first test that opens
  # a window, it would hold that test's output pipe open until the run ends.
  wine wineboot >/dev/null 2>&1 || true
}

# Debian's Wine does not find its own fonts (Marlett for the caption buttons,
# MS Sans Serif for the dialogs) unless they are in the prefix.
qx_wine_fonts() {
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
}

qx_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "${QX_XVFB_PID:-}" ]; then
    kill "$QX_XVFB_PID" 2>/dev/null || true
    wait "$QX_XVFB_PID" 2>/dev/null || true
    QX_XVFB_PID=""
  fi
}
