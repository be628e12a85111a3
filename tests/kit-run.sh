#!/usr/bin/env bash
# Runs the MQL5 kit: every program of MQL5_DIR (its example scripts, expert
# and service) and the kit's tests (tests/kit/*.mq5), translated to C++
# (tests/kit/translate.py), compiled with the project's MinGW toolchain
# against MQL5's built-ins (tests/kit/mql5.h) and run under Wine in the jail
# against the DLL of BUILD_DIR. Each run has a terminal of its own on S:
# (TERMINAL_DATA_PATH), the environment the case sets (tests/kit/mql5.cpp
# names it) and its journal in a file; the checks below read the journals
# and the folders the programs worked on. Exits non-zero on any failure,
# naming the case, what differed and the journal.
#
#   tests/kit-run.sh BUILD_DIR MQL5_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR MQL5_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) kit=$(cd "$2" && pwd)
[ -n "${SF_JAIL:-}" ] || exec bash "$here/jail.sh" "$build" bash "$here/kit-run.sh" "$build" "$kit"
source "$here/lib-check.sh"
source "$build/tests/kit/kit-run.env"
work=$(mktemp -d "$build/kit-run.XXXXXX")
scratch=kit-run-$$
trap 'rm -rf "$work" "${SF_JAIL_S:?}/$scratch"' EXIT

# --- Build: the #import block against the DLL's exports, then every program ---
exports=$("$objdump" -p "$dll" | pe_exports)
imports() { python3 "$here/kit/translate.py" --mql5 "$kit" --imports "$@" "$kit/Include/Sedgefold.mqh"; }
[ "$(imports)" = "$(grep -vx 'PathGetListM[AW]' <<<"$exports")" ] ||
  fail "imports: the #import block does not declare each export of $dll but PathGetListMW and PathGetListMA once"
[ "$(imports -D SEDGEFOLD_STRING_RECORDS)" = "$(grep -vx PathGetListMA <<<"$exports")" ] ||
  fail "imports: with SEDGEFOLD_STRING_RECORDS the #import block does not add PathGetListMW alone"
for source in "$kit"/{Scripts,Experts,Services}/Sedgefold/*.mq5 "$here"/kit/*.mq5; do
  python3 "$here/kit/translate.py" --mql5 "$kit" "$source" "$work/$(basename "$source" .mq5).cpp" 2>&1 ||
    fail "translate: $source cannot be translated"
done
compile() {
  "$cxx" -std=c++17 -O0 -Werror=return-type -I"$here/kit" -I"$here/.." -c "$1" -o "${1%.cpp}.o" &&
    "$cxx" "${1%.cpp}.o" "$runtime" "$host" -luser32 -static -o "${1%.cpp}.exe"
}
export -f compile
export cxx here runtime host
ls "$work"/*.cpp | xargs -P2 -I{} bash -c 'compile {} 2>&1 || echo "FAIL: compile: {} does not compile"' >"$work/compile.log"
if grep -q '^FAIL: ' "$work/compile.log"; then
  cat "$work/compile.log"
  failures=$((failures + $(grep -c '^FAIL: ' "$work/compile.log")))
  finish "the kit of $kit"
fi
cp "$dll" "$other" "$work/"

# --- Running ---
# run CASE PROGRAM [VARIABLE=VALUE...]: PROGRAM run with a terminal on S:
# and those settings; its journal in $work/CASE.journal, its exit status in
# $status.
terminal="S:\\$scratch\\terminal" files="$SF_JAIL_S/$scratch/terminal/MQL5/Files"
mkdir -p "$files" "$SF_JAIL_S/$scratch/common/Files"
run() {
  local case=$1 program=$2
  shift 2
  status=0
  env TERMINAL_DATA_PATH="$terminal" TERMINAL_COMMONDATA_PATH="S:\\$scratch\\common" "$@" \
    timeout -k 10 120 bash "$here/wine-run.sh" "$build" "$work/$program.exe" >"$work/$case.journal" 2>&1 </dev/null ||
    status=$?
  [ "$status" -ne 124 ] || echo "Timed out: still running after 120 s" >>"$work/$case.journal"
  tr -d '\r' <"$work/$case.journal" >"$work/$case.tmp" && mv "$work/$case.tmp" "$work/$case.journal"
}
# check CASE WHAT COMMAND...: COMMAND must succeed, or CASE fails, saying
# WHAT and showing its journal.
check() {
  local case=$1 what=$2
  shift 2
  if ! "$@"; then
    fail "$case: $what"
    sed 's/^/    | /' "$work/$case.journal"
  fi
}
said() { grep -qF -- "$2" "$work/$1.journal"; }
times_said() { [ "$(grep -cF -- "$2" "$work/$1.journal")" -eq "$3" ]; }
# A run that ended as it should: its status, and neither a critical error,
# a forced stop, nor an input that could not be set.
ended() {
  [ "$status" -eq "$2" ] && ! grep -qE '^(Critical error|Stopped forcibly|Input .* keeps its default)' "$work/$1.journal"
}
boxless() { ! said "$1" "Message box"; }
# Every entry below a folder: its kind, size and content.
state() { (cd "$1" && { find . -type d; find . -type f -exec md5sum {} +; } | LC_ALL=C sort); }
files_in() { find "$1" -type f 2>/dev/null | wc -l; }

source "$here/kit/cases.sh"
finish "the kit of $kit, run against $dll"
