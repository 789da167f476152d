#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# With KS_SUITE set, the program is a test suite and gets a Wine server of its own.
set -euo pipefail
export KS_BUILD="$(cd "$1" && pwd)"; shift
source "$(dirname "$0")/wine-env.sh"
if [ -z "${KS_SUITE:-}" ] && { [ -z "${KS_DPI:-}" ] || [ "$KS_DPI" = 96 ]; }; then
  exec wine "$@"
fi
# Nothing an earlier suite left may reach this one: a program that outlived a suite stopped
# at its time limit would keep its windows up and its single-instance lock; a server of a
# prefix at another DPI (perhaps on another display) would keep its desktop. None outlives
# the run to overlap the next suite's.
wineserver -k 2>/dev/null || true
rc=0
wine "$@" || rc=$?
wineserver -k 2>/dev/null || true
exit "$rc"
