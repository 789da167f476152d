#!/usr/bin/env bash
# Runs every benchmark of a Windows build under the project's Wine prefix, on one display,
# and ends with one table of the figures they report ("SUMMARY|what|value|goal|verdict").
# Usage: bench.sh WIN_BUILD_DIR
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 WIN_BUILD_DIR" >&2; exit 2; }
# All benchmarks share one display: a Wine server outlives a program for a few seconds,
# and its desktop would stay on a display that a per-program xvfb-run has closed.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export KS_BUILD="$(cd "$1" && pwd)"
source "$(dirname "$0")/wine-env.sh"
wineserver -k 2>/dev/null || true  # one left from another display would keep its desktop there
# The benchmarks are the programs built from bench/*.cpp; the build folder also holds
# helper programs named bench_* (windows to type into, a minimal tray program).
benches=()
for src in "$(dirname "$0")"/../bench/bench_*.cpp; do
  exe="$KS_BUILD/$(basename "$src" .cpp).exe"
  [ -f "$exe" ] && benches+=("$exe")
done
[ ${#benches[@]} -gt 0 ] || { echo "no benchmark programs in $KS_BUILD" >&2; exit 1; }
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
for exe in "${benches[@]}"; do
  echo "== $(basename "$exe")"
  set +e
  wine "$exe" 2>&1 | tr -d '\r' | tee -a "$log" | grep -v '^SUMMARY|'
  rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -eq 0 ] || { echo "(exit status $rc)"; status=1; }
done
rev="$(git -C "$(dirname "$0")/.." rev-parse --short HEAD 2>/dev/null || echo '?')"
echo
echo "== summary ($(date -u '+%Y-%m-%d %H:%M UTC'), commit $rev, $(wine --version 2>/dev/null), $(nproc) cpus, load $(cut -d' ' -f1-3 /proc/loadavg))"
grep '^SUMMARY|' "$log" | awk -F'|' '
  BEGIN { printf "%-66s %-28s %-10s %s\n", "figure", "value", "goal", "verdict" }
  { printf "%-66s %-28s %-10s %s\n", $2, $3, ($4 == "" ? "-" : $4), $5 }'
exit $status
