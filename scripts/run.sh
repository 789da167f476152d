#!/usr/bin/env bash
# Starts the built keystrum.exe under Wine and prints the commands that drive it from
# another shell. Without a display it starts an Xvfb display of its own for as long as
# the program runs.
# Usage: run.sh WIN_BUILD_DIR   (KS_RUN_DIR: the folder the program and its files live in,
# WIN_BUILD_DIR/run by default)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 WIN_BUILD_DIR" >&2; exit 2; }
scripts="$(cd "$(dirname "$0")" && pwd)"
export KS_BUILD="$(cd "$1" && pwd)"
source "$scripts/wine-env.sh"
run_dir="${KS_RUN_DIR:-$KS_BUILD/run}"
mkdir -p "$run_dir"
run_dir="$(cd "$run_dir" && pwd)"
cp "$KS_BUILD/keystrum.exe" "$run_dir/"
for f in keystrum.dll keystrum.html; do
  [ -f "$KS_BUILD/$f" ] && cp "$KS_BUILD/$f" "$run_dir/"
done

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  # -displayfd picks a free display number, so two runs (or a run and the tests) never
  # share one.
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 number <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
  echo "No display was set: Keystrum runs on the Xvfb display $DISPLAY while it runs."
fi

# The program runs on the prefix's default virtual desktop (set up by wine-env.sh), where
# every other program of the prefix started on this display finds its windows; the
# desktop's taskbar shows the tray area.
q() { printf '%q' "$1"; }
wine_run="DISPLAY=$DISPLAY $(q "$scripts/wine-run.sh") $(q "$KS_BUILD")"
echo "Keystrum keeps its files in $run_dir (keystrum.ini, keystrum.dat)."
echo "Show the bar with a click on the keyboard icon at the right end of the Wine desktop's"
echo "taskbar, or drive Keystrum from another shell (the end saves its files, as Exit does):"
echo "  show the bar:      $wine_run $(q "$KS_BUILD/kspost.exe") TTrayIcon 1025 0 514"
echo "  take a screenshot: DISPLAY=$DISPLAY import -window root $(q "$run_dir/shot.png")"
echo "  end Keystrum:      $wine_run taskkill /im keystrum.exe"

cd "$run_dir"
status=0
wine "$run_dir/keystrum.exe" || status=$?
if [ -n "$xvfb_pid" ]; then
  # The Wine server and its desktop outlive the program for a moment; let them end while
  # their display still exists.
  wineserver -w 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
fi
exit "$status"
