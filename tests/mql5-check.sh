#!/usr/bin/env bash
# A static check of the MQL5 sources, since MetaEditor does not run here. It
# catches what a compile would stop at, and a few faults it would let
# through (rules in mql5-check.awk):
#   - an #include that does not resolve; brackets that do not pair, a literal
#     or comment that does not close, a statement that runs into the next
#     line without a ";";
#   - a name that neither the file, what it includes, nor the list of MQL5
#     built-ins (mql5-builtins.txt) defines, counting only the lines that
#     #ifdef/#ifndef leave to the compiler (PathGetListMW exists only for a
#     program that defines SEDGEFOLD_STRING_RECORDS);
#   - a call with more or fewer arguments than the function's declaration
#     (default values allowed) or the built-in's list entry takes;
#   - a code page given as a number to StringToCharArray/CharArrayToString;
#   - an array handed to an imported function without being sized first in
#     the calling function (or right after ArrayFree); a listing buffer of
#     the wrong size: count slots of size bytes into an array that holds
#     fewer bytes, a slot size given in characters, a slot too small for a
#     name (520 bytes for ushort, 780 for uchar: 3 bytes a character under a
#     UTF-8 ANSI code page), slots read at offsets in bytes instead of
#     elements; a capacity larger than the array it is given with;
#   - a const variable or an input assigned, or handed where the callee
#     writes (mql5-builtins.txt tags what the built-ins write);
#   - a while, do or endless for loop, or Sleep, in OnTimer, OnTick or
#     OnCalculate;
#   - SedgefoldQuiet(false) or SedgefoldReportMode(0) in an expert,
#     indicator or service (by its folder, or #property service);
#   - a string handed to StringSplit as its separator;
#   - a script (a .mq5 under Scripts/) without OnStart, or with inputs and
#     no script_show_inputs, or that deletes, clears or moves without asking
#     ExampleNewPart which of its names are new; any file that deletes,
#     clears or moves the examples' folder itself or the sandbox.
#
#   mql5-check.sh MQL5_DIR [FILE...]   (the source tree's mql5/ folder; FILEs
#                                      below it: only those are checked)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 MQL5_DIR [FILE...]" >&2; exit 2; }
root=$(cd "$1" && pwd)
shift
here=$(dirname "$0")
source "$here/lib-check.sh"

if [ $# -gt 0 ]; then
  files=$(for file in "$@"; do echo "$root/${file#"$root"/}"; done)
else
  files=$(find "$root" -type f \( -name '*.mq5' -o -name '*.mqh' \) | LC_ALL=C sort)
fi
[ -n "$files" ] || { echo "FAIL: no MQL5 sources under $root"; exit 1; }
for file in $files; do
  name=${file#"$root"/} seen=""
  included=$(mql5_chain "$root" "$file")
  while read -r missing; do
    fail "$name includes $missing, which does not exist"
  done < <(sed -n 's/^MISSING //p' <<<"$included")
  # A failing awk ends the check here (set -e), not in silence.
  case "$file" in
    */Scripts/*.mq5) kind=script ;;
    */Experts/*.mq5) kind=expert ;;
    */Indicators/*.mq5) kind=indicator ;;
    */Services/*.mq5) kind=service ;;
    *) kind=other ;;
  esac
  problems=$(grep -v '^MISSING ' <<<"$included" | while read -r f; do
      echo "@file $f"
      mql5_blank "$f"
    done | LC_ALL=C awk -v builtins="$here/mql5-builtins.txt" -v program="$kind" -f "$here/mql5-check.awk")
  while IFS=$'\t' read -r line problem; do
    case "$line" in
      '') ;;
      -) fail "$name: $problem" ;;
      *) fail "$name:$line: $problem" ;;
    esac
  done <<<"$problems"
done
finish "the MQL5 sources under $root"
