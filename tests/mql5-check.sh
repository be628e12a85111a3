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
#   - a listing buffer of the wrong size: an imported function writing count
#     slots of size bytes into an array that holds fewer bytes, a slot size
#     given in characters, or a slot too small for a name;
#   - a script (a .mq5 under Scripts/) without OnStart, or with inputs and
#     no script_show_inputs, or that deletes, clears or moves without asking
#     ExampleNewPart which of its names are new.
#
#   mql5-check.sh MQL5_DIR      (the source tree's mql5/ folder)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 MQL5_DIR" >&2; exit 2; }
root=$(cd "$1" && pwd)
here=$(dirname "$0")
source "$here/lib-check.sh"

files=$(find "$root" -type f \( -name '*.mq5' -o -name '*.mqh' \) | LC_ALL=C sort)
[ -n "$files" ] || { echo "FAIL: no MQL5 sources under $root"; exit 1; }
for file in $files; do
  name=${file#"$root"/} seen=""
  included=$(mql5_chain "$root" "$file")
  while read -r missing; do
    fail "$name includes $missing, which does not exist"
  done < <(sed -n 's/^MISSING //p' <<<"$included")
  # A failing awk ends the check here (set -e), not in silence.
  problems=$(grep -v '^MISSING ' <<<"$included" | while read -r f; do
      echo "@file $f"
      mql5_blank "$f"
    done | LC_ALL=C awk -v builtins="$here/mql5-builtins.txt" -v script="$([[ $file == */Scripts/*.mq5 ]] && echo 1 || echo 0)" \
      -f "$here/mql5-check.awk")
  while IFS=$'\t' read -r line problem; do
    case "$line" in
      '') ;;
      -) fail "$name: $problem" ;;
      *) fail "$name:$line: $problem" ;;
    esac
  done <<<"$problems"
done
finish "the MQL5 sources under $root"
