#!/usr/bin/env bash
# Prints the release's version, from the top of CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(quorvane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
echo "$version"
