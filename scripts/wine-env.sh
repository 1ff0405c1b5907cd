# Sourced by the Windows test scripts: a private Wine prefix under build/,
# a virtual X display, code page 936 and Chinese fonts. Call wine_start
# before and wine_stop after the Windows programs.

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=d"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win32
export DISPLAY="${DZ_DISPLAY:-:99}"

wine_start() {
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    DZ_XVFB_PID=$!
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
      sleep 0.3
    done
  fi
  if [ ! -f "$WINEPREFIX/.dz-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 && wineserver -w
    # Without a window manager Wine waits at every window close unless it
    # manages the windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 宋体 /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v SimSun /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -k || true
    touch "$WINEPREFIX/.dz-ready"
  fi
  wineserver -p >/dev/null 2>&1 || true
  wineboot >/dev/null 2>&1 || true
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${DZ_XVFB_PID:-}" ]; then
    kill "$DZ_XVFB_PID" 2>/dev/null || true
    DZ_XVFB_PID=""
  fi
}
