#!/usr/bin/env bash
# Builds the DLL and the benchmark, then times the library against plain
# Win32 and std::filesystem code doing the same work, under Wine. Standard
# output gets one "case ratio" line per case (library time / reference
# time); the medians in milliseconds go to standard error.
#   bench.sh [--quick] [CASE...]    (SF_BUILD_DIR picks the build tree: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SF_BUILD_DIR:-build}

# Build output goes to standard error: standard output is the ratios alone.
bash scripts/build.sh "$build" sedgefold-bench >&2

# Run in a jail of its own (tests/jail.sh): the benchmark deletes and copies
# trees. Its Wine server is stopped and the jail removed at the end.
bash tests/wine-run.sh "$build" "$build/bin/sedgefold-bench.exe" "$@"
