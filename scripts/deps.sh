#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any packages given as
# arguments, only when some are missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest
      g++-mingw-w64-x86-64 wine wine64 xvfb xauth imagemagick python3-markdown "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
