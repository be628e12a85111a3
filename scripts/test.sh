#!/usr/bin/env bash
# Builds everything and runs the whole test suite: unit and end-to-end tests
# under Wine, and the DLL's table check on the host. Exits non-zero on any
# failure.
#
# The suite runs inside a jail (tests/jail.sh): a throw-away Wine prefix with
# no Z: drive, on a tmpfs in a private mount namespace when root, with canary
# files around it that must come through unchanged. The jail's Wine server,
# shared by all tests, is stopped and the jail removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build

started=$SECONDS
bash scripts/build.sh "$build"
built=$SECONDS

status=0
bash tests/jail.sh --verbose "$build" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 --timeout 120 ||
  status=$?
echo "test.sh: build $((built - started)) s, tests $((SECONDS - built)) s"
exit "$status"
