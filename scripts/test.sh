#!/usr/bin/env bash
# Builds everything and runs the whole test suite: unit and end-to-end tests
# under Wine, and the DLL's table check on the host. Exits non-zero on any
# failure, and ends by naming each test that ran past its time limit.
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

# CTest's own words are kept in the build tree, to be read back below.
log="$build/Testing/test.sh.log"
mkdir -p "$(dirname "$log")"
status=0
bash tests/jail.sh --verbose "$build" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 2>&1 | tee "$log" ||
  status=$?
echo "test.sh: build $((built - started)) s, tests $((SECONDS - built)) s"
# "12/62 Test #61: planted_faults ......***Timeout  60.05 sec"
sed -n -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) .*\*\*\*Timeout +([0-9.]+) sec.*/\1 \2/p' "$log" |
  while read -r name seconds; do
    echo "test.sh: $name ran past its time limit: stopped after $seconds s" \
      "(its limit is set in the CMakeLists.txt that adds it)"
  done
exit "$status"
