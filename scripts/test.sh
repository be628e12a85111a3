#!/usr/bin/env bash
# Builds everything and runs the whole test suite: unit and end-to-end tests
# under Wine, and the DLL's table check on the host. Exits non-zero on any
# failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build

started=$SECONDS
bash scripts/build.sh "$build"
built=$SECONDS

# The private wineserver that the tests start stays up between them; stop
# it (and only it) whatever happens.
trap 'bash tests/wine-run.sh "$build" --stop' EXIT

status=0
(cd "$build" && ctest --output-on-failure --no-tests=error -j2 --timeout 120) ||
  status=$?
echo "test.sh: build $((built - started)) s, tests $((SECONDS - built)) s"
exit "$status"
