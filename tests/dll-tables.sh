#!/usr/bin/env bash
# Checks the built DLL's tables as the terminal's loader sees them:
#   - a 64-bit PE image;
#   - imports only from DLLs every Windows has (no mingw runtime DLLs);
#   - exports exactly the names listed in the .def file, and the .def file
#     lists only names from the library's published set.
#
#   dll-tables.sh OBJDUMP DLL DEF
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 OBJDUMP DLL DEF" >&2
  exit 2
fi
objdump=$1 dll=$2 def=$3

published="PathCheckA PathCheckW PathClearContentsA PathClearContentsW
PathClearFromFilesA PathClearFromFilesW PathCopyA PathCopyW PathCreateA
PathCreateW PathDeleteA PathDeleteW PathDeleteEmptyA PathDeleteEmptyW
PathGetListA PathGetListW PathGetListMA PathGetListMW PathIsEmptyA
PathIsEmptyW PathMoveA PathMoveW PathSymbolicLinkA PathSymbolicLinkW
PathTrimNameFileA PathTrimNameFileW"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

dump=$("$objdump" -p "$dll")

if ! grep -q 'file format pei-x86-64' <<<"$dump"; then
  fail "$dll is not a 64-bit PE image"
fi

# Imports: "DLL Name: KERNEL32.dll" lines.
imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr -d '\r')
if [ -z "$imports" ]; then
  fail "no import table found"
fi
while IFS= read -r name; do
  [ -n "$name" ] || continue
  lower=${name,,}
  case "$lower" in
    kernel32.dll | user32.dll | shell32.dll | shlwapi.dll | wininet.dll | \
      msvcrt.dll | api-ms-win-crt-*.dll)
      echo "import: $name" ;;
    *)
      fail "imports $name, which is not a Windows system DLL" ;;
  esac
done <<<"$imports"

# Exports: the name pointer table, "[   0] PathIsEmptyA" lines after its title.
exports=$(awk '
  /\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
  inside && /^[[:space:]]*$/ { inside = 0 }
  inside && match($0, /\][[:space:]]+[^[:space:]]+/) {
    name = substr($0, RSTART + 1, RLENGTH - 1); gsub(/[[:space:]]/, "", name)
    print name
  }' <<<"$dump" | sort -u)

# .def names: the first word of every line after EXPORTS, without ordinals,
# aliases or comments.
listed=$(awk '
  { sub(/;.*/, "") }
  toupper($1) == "EXPORTS" { inside = 1; $1 = ""; if (NF == 0) next }
  inside && NF > 0 {
    name = $1; sub(/[=@].*/, "", name)
    if (name != "") print name
  }' "$def" | sort -u)
if [ -z "$listed" ]; then
  fail "$def lists no exports"
fi

while IFS= read -r name; do
  [ -n "$name" ] || continue
  if ! grep -qxF "$name" <<<"$(tr ' ' '\n' <<<"$published")"; then
    fail "$def lists $name, which is not a published export"
  fi
  if ! grep -qxF "$name" <<<"$exports"; then
    fail "$name is listed in $def but not exported"
  fi
done <<<"$listed"

while IFS= read -r name; do
  [ -n "$name" ] || continue
  echo "export: $name"
  if ! grep -qxF "$name" <<<"$listed"; then
    fail "exports $name, which $def does not list"
  fi
done <<<"$exports"

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the tables of $dll"
  exit 1
fi
echo "tables of $dll: OK"
