#!/usr/bin/env bash
# Checks the MQL5 include file against the library it imports from: every
# export of the built DLL is declared exactly once in the #import block, with
# as many parameters as the library's header gives it and of types that
# carry the C ones; nothing else is imported. PathGetListMA, which MQL5
# cannot call safely, must be named in a comment and not imported.
#
#   kit-check.sh OBJDUMP DLL HEADER MQH
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 OBJDUMP DLL HEADER MQH" >&2; exit 2; }
objdump=$1 dll=$2 header=$3 mqh=$4
source "$(dirname "$0")/lib-check.sh"

# "NAME RESULT PARAM..." for every Path* and Sedgefold* declaration of FILE, the types
# reduced to classes both languages share: wtext (const wchar_t* / string),
# wbuf (wchar_t* / ushort &[]), abuf (char* / uchar &[]), wrec (records /
# string &[]), u64, int and ptr (a returned pointer, long in MQL5). An .mqh
# is read only between #import "Sedgefold.dll" and #import; "@block" says
# that block is not there exactly once, closed. Comments and literals are
# blanked first (mql5_blank), so a commented-out declaration counts for
# nothing.
declarations() {
  mql5_blank "$1" | awk -v mql="$2" '
    mql && /^[ \t]*#import[ \t]+"Sedgefold\.dll"/ { inside = 1; opened++; next }
    mql && inside && /^[ \t]*#import/ { inside = 0; closed++; next }
    /^[ \t]*#|^@@/ { next }
    !mql || inside { text = text " " $0 }
    END {
      if (mql && (opened != 1 || closed != 1)) print "@block"
      n = split(text, statements, ";")
      for (i = 1; i <= n; i++) {
        s = statements[i]
        if (!match(s, /(Path|Sedgefold)[A-Za-z]+[ \t]*\(/)) continue
        name = substr(s, RSTART, RLENGTH - 1); sub(/[ \t]+$/, "", name)
        result = substr(s, 1, RSTART - 1); sub(/^.*[{}]/, "", result)
        params = substr(s, RSTART + RLENGTH); sub(/\).*$/, "", params)
        line = name " " class(result, 1)
        count = params ~ /^[ \t]*(void)?[ \t]*$/ ? 0 : split(params, param, ",")
        for (j = 1; j <= count; j++) line = line " " class(param[j], 0)
        print line
      }
    }
    function class(t, result) {
      gsub(/\*/, " * ", t); gsub(/&/, " & ", t); gsub(/\[/, " [ ", t); gsub(/[\]\t]/, " ", t)
      t = " " t " "
      if (result && t ~ / \* | long /) return "ptr"
      if (t ~ / \[ / && t !~ / & /) return "array-by-value"
      if (t ~ / & / && t !~ / \[ /) return "reference"
      if (t ~ /_MQLSTRW| string .*\[ /) return "wrec"
      if (t ~ / const wchar_t \* | string /) return "wtext"
      if (t ~ / wchar_t \* | ushort .*\[ /) return "wbuf"
      if (t ~ / char \* | uchar .*\[ /) return "abuf"
      if (t ~ / uint64_t | ulong /) return "u64"
      if (t ~ / int /) return "int"
      return "unknown"
    }'
}
c_decls=$(declarations "$header" 0)
mql_decls=$(declarations "$mqh" 1)
! grep -qx '@block' <<<"$mql_decls" || fail "the include file has no single closed #import \"Sedgefold.dll\" block"
imported=$(awk '$1 != "@block" { print $1 }' <<<"$mql_decls")
exports=$("$objdump" -p "$dll" | pe_exports)
[ -n "$exports" ] || fail "$dll exports nothing"

while read -r name; do
  declared=$(grep -cxF "$name" <<<"$imported" || true)
  if [ "$name" = PathGetListMA ]; then
    [ "$declared" -eq 0 ] || fail "$name is imported, but MQL5 cannot call it safely"
    grep -qE '^[[:space:]]*//.*\b'"$name"'\b' "$mqh" ||
      fail "$name is left out of the #import block without a comment saying so"
    continue
  fi
  [ "$declared" -eq 1 ] || { fail "$name is imported $declared times, not once"; continue; }
  read -r -a c <<<"$(awk -v n="$name" '$1 == n' <<<"$c_decls")"
  read -r -a m <<<"$(awk -v n="$name" '$1 == n' <<<"$mql_decls")"
  [ ${#c[@]} -gt 0 ] || { fail "$name has no declaration in $header"; continue; }
  [ ${#c[@]} -eq ${#m[@]} ] || {
    fail "$name takes $((${#c[@]} - 2)) parameter(s) in the library, $((${#m[@]} - 2)) in the include file"
    continue
  }
  # Position 1 is the result. A string can pass where the library only reads.
  for ((i = 1; i < ${#c[@]}; i++)); do
    [ "${c[i]}" = "${m[i]}" ] || [ "${c[i]}:${m[i]}" = wtext:wbuf ] ||
      fail "$name: ${c[i]} in the library, ${m[i]} in the include file at position $i (1 is the result)"
  done
done <<<"$exports"

for name in $(sort -u <<<"$imported"); do
  grep -qxF "$name" <<<"$exports" || fail "$name is imported but $dll does not export it"
done
finish "$mqh against $dll"
