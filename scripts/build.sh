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

# An existing build tree keeps the generator and the toolchain it was made
# with (named again, the toolchain only draws a warning that it went unused).
configure=()
if [ ! -f "$build/CMakeCache.txt" ]; then
  configure=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake)
  if command -v ninja >/dev/null; then configure+=(-G Ninja); fi
fi
cmake -S . -B "$build" "${configure[@]}"
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
