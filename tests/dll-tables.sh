#!/usr/bin/env bash
# Checks the built DLL's tables as the terminal's loader sees them: a 64-bit
# image that imports only DLLs every Windows has (no mingw runtime DLLs) and
# exports exactly the names of the .def file, all of the published set.
#
#   dll-tables.sh OBJDUMP DLL DEF
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 OBJDUMP DLL DEF" >&2; exit 2; }
objdump=$1 dll=$2 def=$3
source "$(dirname "$0")/lib-check.sh"

published="PathCheckA PathCheckW PathClearContentsA PathClearContentsW
PathClearFromFilesA PathClearFromFilesW PathCopyA PathCopyW PathCreateA
PathCreateW PathDeleteA PathDeleteW PathDeleteEmptyA PathDeleteEmptyW
PathGetListA PathGetListW PathGetListMA PathGetListMW PathIsEmptyA
PathIsEmptyW PathMoveA PathMoveW PathSymbolicLinkA PathSymbolicLinkW
PathTrimNameFileA PathTrimNameFileW SedgefoldLastReportA SedgefoldLastReportW
SedgefoldReportMode SedgefoldVersion"

dump=$("$objdump" -p "$dll")
grep -q 'file format pei-x86-64' <<<"$dump" || fail "$dll is not a 64-bit PE image"

imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr -d '\r')
[ -n "$imports" ] || fail "no import table found"
while read -r name; do
  case "${name,,}" in
    kernel32.dll | user32.dll | shell32.dll | shlwapi.dll | msvcrt.dll | api-ms-win-crt-*.dll) ;;
    *) fail "imports $name, which is not a Windows system DLL" ;;
  esac
done <<<"$imports"

# .def names: the first word of every line after EXPORTS, without ordinals,
# aliases or comments.
listed=$(awk '{ sub(/;.*/, "") }
  inside && NF > 0 { name = $1; sub(/[=@].*/, "", name); print name }
  toupper($1) == "EXPORTS" { inside = 1 }' "$def" | LC_ALL=C sort -u)
[ -n "$listed" ] || fail "$def lists no exports"
while read -r name; do
  grep -qxF "$name" <<<"$(tr -s ' \n' '\n' <<<"$published")" ||
    fail "$def lists $name, which is not a published export"
done <<<"$listed"

exports=$(pe_exports <<<"$dump")
if ! difference=$(diff <(echo "$listed") <(echo "$exports")); then
  fail "the exports differ from $def (< listed only, > exported only):"$'\n'"$difference"
fi
finish "the tables of $dll"
