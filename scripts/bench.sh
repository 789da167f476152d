#!/usr/bin/env bash
# Runs every benchmark of a Windows build under the project's Wine prefix.
# Usage: bench.sh WIN_BUILD_DIR
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 WIN_BUILD_DIR" >&2; exit 2; }
export KS_BUILD="$(cd "$1" && pwd)"
source "$(dirname "$0")/wine-env.sh"
run=()
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a)
shopt -s nullglob
benches=("$KS_BUILD"/bench_*.exe)
[ ${#benches[@]} -gt 0 ] || { echo "no bench_*.exe in $KS_BUILD" >&2; exit 1; }
status=0
for exe in "${benches[@]}"; do
  echo "== $(basename "$exe")"
  "${run[@]}" wine "$exe" || status=$?
done
exit $status
