#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/.
#   build.sh [BUILD_DIR [TARGET...]]   (all targets when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
targets=()
for target in "$@"; do targets+=(--target "$target"); done

bash scripts/deps.sh

generator=()
# An existing build tree keeps the generator it was made with.
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
  generator=(-G Ninja)
fi
cmake -S . -B "$build" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
