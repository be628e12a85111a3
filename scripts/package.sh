#!/usr/bin/env bash
# Builds everything and makes the release package
# build/Sedgefold-<version>-win64.zip (version from the VERSION file).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build

bash scripts/build.sh "$build"
cmake --build "$build" --target package_zip
zip="$build/Sedgefold-$(head -n 1 VERSION)-win64.zip"
unzip -l "$zip"
echo "Package: $zip"
