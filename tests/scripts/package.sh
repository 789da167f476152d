#!/usr/bin/env bash
# The package as a user gets it: made by the dist target, unzipped into a fresh folder and
# then checked and run there by the e2e driver's Package cases.
# Usage: package.sh WIN_BUILD_DIR PACKAGE_ZIP
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
zip="$2"
cmake --build "$build" --target dist
name="$(basename "$zip")"
version="${name#keystrum-}"
version="${version%-win64.zip}"
if [ ! -f "$zip" ] || [ -z "$version" ] || [ "$version" = "$name" ]; then
  echo "FAIL: no package $zip"
  exit 1
fi

dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cmake -E chdir "$dir" cmake -E tar xf "$zip"
# Wine sees the Unix root as drive Z:.
export KS_PACKAGE_DIR="Z:${dir//\//\\}\\"
export KS_PACKAGE_VERSION="$version"
KS_SUITE=1 exec "$root/scripts/wine-run.sh" "$build" "$build/e2e.exe" --gtest_filter='Package*.*'
