#!/usr/bin/env bash
# Source this: sets the environment of the project's Wine prefix and boots it once.
# The prefix lives inside the build tree so every build starts from a known state.
: "${KS_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/win}"
export WINEPREFIX="$KS_BUILD/wineprefix"
# KS_DPI: a prefix of its own whose display runs at that many dots per inch (96 when unset).
if [ -n "${KS_DPI:-}" ] && [ "$KS_DPI" != 96 ]; then
  export WINEPREFIX="$KS_BUILD/wineprefix-dpi$KS_DPI"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/.ks-booted" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # One virtual desktop: without a window manager every top-level window would be
  # an X window of its own, and late X focus events move the foreground mid-typing.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  if [ -n "${KS_DPI:-}" ] && [ "$KS_DPI" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KS_DPI" /f >/dev/null 2>&1
  fi
  wineserver -w
  touch "$WINEPREFIX/.ks-booted"
fi
if [ ! -f "$WINEPREFIX/.ks-html" ]; then
  # Windows opens .html files with a browser; a prefix made without mshtml lacks the link,
  # and the tray menu's help would find no program for the guide.
  wine reg add 'HKLM\Software\Classes\.html' /ve /d htmlfile /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Classes\.htm' /ve /d htmlfile /f >/dev/null 2>&1
  touch "$WINEPREFIX/.ks-html"
fi
