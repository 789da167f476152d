#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
export KS_BUILD="$(cd "$1" && pwd)"; shift
source "$(dirname "$0")/wine-env.sh"
if [ -z "${KS_DPI:-}" ] || [ "$KS_DPI" = 96 ]; then
  exec wine "$@"
fi
# A prefix at another DPI serves one suite: no server of an earlier run (perhaps on another
# display) may keep its desktop, and none outlives the run to overlap the next suite's.
wineserver -k 2>/dev/null || true
rc=0
wine "$@" || rc=$?
wineserver -w
exit "$rc"
