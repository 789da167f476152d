#!/usr/bin/env bash
# What `make run` starts, as a user without a display meets it: the start runs in the
# background with no input and a display of its own, and every command it prints is run
# as pasted into another shell. The bar must show, and ending the program must write its
# files.
# Usage: run_commands.sh WIN_BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
export KS_BUILD="$(cd "$1" && pwd)"
source "$root/scripts/wine-env.sh"
# The program joins the desktop of a Wine server that is still up, on that server's display.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

work="$(mktemp -d)"
run_pid=""
cleanup() {
  if [ -n "$run_pid" ] && kill -0 "$run_pid" 2>/dev/null; then
    wineserver -k 2>/dev/null || true
    kill "$run_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- what the start printed:"; cat "$work/out" 2>/dev/null; exit 1; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
# Runs a printed command the way a user pastes it into a fresh shell: no display of its own.
paste() { env -u DISPLAY bash -c "$1" >>"$work/pasted" 2>&1; }

mkdir "$work/run"
env -u DISPLAY KS_RUN_DIR="$work/run" bash "$root/scripts/run.sh" "$KS_BUILD" \
  </dev/null >"$work/out" 2>&1 &
run_pid=$!

printed() { sed -n "s/^  $1: *//p" "$work/out"; }
wait_for 60 grep -q "end Keystrum:" "$work/out" || fail "the start printed no commands"
show="$(printed "show the bar")"
shot="$(printed "take a screenshot")"
end="$(printed "end Keystrum")"
[ -n "$show" ] && [ -n "$shot" ] && [ -n "$end" ] || fail "a command is missing"
display="$(grep -o 'DISPLAY=:[0-9]*' <<<"$show" | head -1)"
[ -n "$display" ] || fail "the commands name no display"
shot_file="$work/run/shot.png"
grep -qF "$shot_file" <<<"$shot" || fail "the screenshot goes elsewhere: $shot"

# Up once its tray icon's window answers (WM_NULL); the bar is created right after it.
alive() { env "$display" "$root/scripts/wine-run.sh" "$KS_BUILD" "$KS_BUILD/kspost.exe" TTrayIcon 0 0 0 >/dev/null 2>&1; }
wait_for 30 alive || fail "the program did not start"
sleep 1
paste "$shot" || fail "the screenshot command failed"
[ -s "$shot_file" ] || fail "the screenshot command wrote no picture"
mv "$shot_file" "$work/before.png"

paste "$show" || fail "the show command failed: $(cat "$work/pasted")"
# The bar (about 100 x 66 pixels with its frame) appears on an otherwise still desktop.
changed() {
  paste "$shot" || return 1
  local n
  n="$(compare -metric AE "$work/before.png" "$shot_file" null: 2>&1 || true)"
  [ "${n%%.*}" -gt 4000 ] 2>/dev/null
}
wait_for 15 changed || fail "the bar did not show (pixels changed: $(compare -metric AE "$work/before.png" "$shot_file" null: 2>&1))"

paste "$end" || fail "the end command failed: $(cat "$work/pasted")"
ended() { ! kill -0 "$run_pid" 2>/dev/null; }
wait_for 30 ended || fail "the program did not end"
status=0
wait "$run_pid" || status=$?
run_pid=""
[ "$status" -eq 0 ] || fail "the start ended with status $status"
grep -q "GroupName1=Default" "$work/run/keystrum.ini" 2>/dev/null || fail "keystrum.ini was not written"
[ "$(tr -d '\r' <"$work/run/keystrum.dat" 2>/dev/null)" = "This is an example button{enter}" ] \
  || fail "keystrum.dat was not written"
echo "PASS: shown, pictured and ended through the printed commands"
