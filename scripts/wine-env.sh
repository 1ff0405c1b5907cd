# Sourced by the Windows test scripts: a private Wine prefix under build/,
# a virtual X display, code page 936 and Chinese fonts. Call wine_start
# before and wine_stop after the Windows programs.

# DZ_WINE64=1: the 64-bit build of the same sources (build/cross64) under
# Wine's 64-bit loader, for a machine whose kernel starts no 32-bit program
# (scripts/windows-tests.sh): a prefix of its own, and `wine` (also as the
# tools wineboot and winepath call it) that is not Debian's, which always
# takes the 32-bit loader when it is installed.
if [ "${DZ_WINE64:-0}" = 1 ]; then
  export WINEPREFIX="$PWD/build/wineprefix64"
  export WINELOADER=/usr/lib/wine/wine64
  dz_wine64_bin="$PWD/build/wine64-bin"
  mkdir -p "$dz_wine64_bin"
  for dz_name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$dz_wine64_bin/$dz_name"
    chmod +x "$dz_wine64_bin/$dz_name"
  done
  case ":$PATH:" in *":$dz_wine64_bin:"*) ;; *) export PATH="$dz_wine64_bin:$PATH" ;; esac
fi
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=d"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
if [ "${DZ_WINE64:-0}" = 1 ]; then export WINEARCH=win64; else export WINEARCH=win32; fi
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
