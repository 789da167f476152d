#!/usr/bin/env bash
# Starts the built keystrum.exe under Wine. Without a display it starts an Xvfb
# display of its own and says how to look at it.
set -euo pipefail
export KS_BUILD="$1"
source "$(dirname "$0")/wine-env.sh"
run_dir="$KS_BUILD/run"
mkdir -p "$run_dir"
cp "$KS_BUILD/keystrum.exe" "$run_dir/"
[ -f "$KS_BUILD/keystrum.dll" ] && cp "$KS_BUILD/keystrum.dll" "$run_dir/"
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && ! [ -e /tmp/.X11-unix/X77 ]; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
    sleep 1
  fi
  echo "No display was set: Keystrum runs on the Xvfb display $DISPLAY."
  echo "Look at it with:  DISPLAY=$DISPLAY import -window root shot.png"
  echo "Show the bar with a click on the keyboard icon at the right end of the Wine"
  echo "desktop's taskbar, or from another shell:"
  echo "  DISPLAY=$DISPLAY KS_BUILD=$KS_BUILD bash -c 'source scripts/wine-env.sh; wine $KS_BUILD/kspost.exe TTrayIcon 1025 0 514'"
fi
echo "Keystrum keeps its files in $run_dir (keystrum.ini, keystrum.dat)."
cd "$run_dir"
# The program lives in the tray; the Wine desktop window shows the tray area.
exec wine explorer /desktop=Keystrum,1024x768 "$run_dir/keystrum.exe"
