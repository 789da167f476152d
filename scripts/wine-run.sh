#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
export KS_BUILD="$(cd "$1" && pwd)"; shift
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
