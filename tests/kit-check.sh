#!/usr/bin/env bash
# Checks the MQL5 include file against the library it imports from: every
# export of the built DLL is declared exactly once in the #import blocks, with
# as many parameters as the library's header gives it and of types that
# carry the C ones; nothing else is imported. PathGetListMA, which MQL5
# cannot call safely, must be named in a comment and not imported. A
# declaration that takes string records (string &[]: the MQL5 reference
# forbids string arrays as DLL parameters, and their layout is the
# terminal's, undocumented) must stand in an #import block of its own behind
# #ifdef SEDGEFOLD_STRING_RECORDS, and nothing else may stand there.
# SedgefoldVersion must be imported whatever the DLL exports, and the kit's
# SEDGEFOLD_KIT_VERSION must be the number SedgefoldVersion answers for the
# VERSION file at the repository's root (MAJOR * 10000 + MINOR * 100 +
# PATCH): the helpers refuse a library of any other version.
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
# that no block stands outside #ifdef SEDGEFOLD_STRING_RECORDS exactly once,
# or that a block is not closed, and "@guarded NAME" follows each
# declaration that stands behind that #ifdef. Comments and literals are
# blanked first (mql5_blank), so a commented-out declaration counts for
# nothing.
declarations() {
  mql5_blank "$1" | awk -v mql="$2" '
    # The conditionals open around the line: guard[d] says whether level d
    # is the SEDGEFOLD_STRING_RECORDS branch that the macro switches on.
    mql && /^[ \t]*#[ \t]*if/ {
      guard[++depth] = $0 ~ /^[ \t]*#[ \t]*ifdef[ \t]+SEDGEFOLD_STRING_RECORDS([ \t]|$)/; next
    }
    mql && /^[ \t]*#[ \t]*else/ { guard[depth] = 0; next }
    mql && /^[ \t]*#[ \t]*endif/ { if (depth) depth--; next }
    mql && /^[ \t]*#import[ \t]+"Sedgefold\.dll"/ {
      if (inside) unclosed = 1
      inside = 1; guarded = 0
      for (d = 1; d <= depth; d++) if (guard[d]) guarded = 1
      if (!guarded) opened++
      next
    }
    mql && inside && /^[ \t]*#import/ { inside = 0; text = text ";"; next }
    /^[ \t]*#|^@@/ { next }
    !mql || inside { text = text " " (guarded ? "@guarded " : "") $0 }
    END {
      if (mql && (opened != 1 || inside || unclosed)) print "@block"
      n = split(text, statements, ";")
      for (i = 1; i <= n; i++) {
        s = statements[i]
        if (!match(s, /(Path|Sedgefold)[A-Za-z]+[ \t]*\(/)) continue
        name = substr(s, RSTART, RLENGTH - 1); sub(/[ \t]+$/, "", name)
        result = substr(s, 1, RSTART - 1); sub(/^.*[{}]/, "", result)
        behind = result ~ /@guarded/; gsub(/@guarded/, " ", result)
        params = substr(s, RSTART + RLENGTH); sub(/\).*$/, "", params)
        line = name " " class(result, 1)
        count = params ~ /^[ \t]*(void)?[ \t]*$/ ? 0 : split(params, param, ",")
        for (j = 1; j <= count; j++) line = line " " class(param[j], 0)
        print line
        if (behind) print "@guarded " name
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
! grep -qx '@block' <<<"$mql_decls" ||
  fail "$mqh: not one closed #import \"Sedgefold.dll\" block outside #ifdef SEDGEFOLD_STRING_RECORDS (and any other block closed)"
guarded=$(awk '$1 == "@guarded" { print $2 }' <<<"$mql_decls")
mql_decls=$(awk '$1 !~ /^@/' <<<"$mql_decls")
imported=$(awk '{ print $1 }' <<<"$mql_decls")
while read -r name records; do
  [ -n "$name" ] || continue
  behind=$(grep -cxF "$name" <<<"$guarded" || true)
  if [ "$records" -gt 0 ] && [ "$behind" -eq 0 ]; then
    fail "$mqh: $name takes string records (string &[]) outside #ifdef SEDGEFOLD_STRING_RECORDS: the MQL5 reference forbids string arrays as DLL parameters"
  elif [ "$records" -eq 0 ] && [ "$behind" -gt 0 ]; then
    fail "$mqh: $name stands behind #ifdef SEDGEFOLD_STRING_RECORDS but takes no string records: a program without that macro loses it"
  fi
done < <(awk '{ records = 0; for (i = 3; i <= NF; i++) records += $i == "wrec"; print $1, records }' <<<"$mql_decls")
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

grep -qxF SedgefoldVersion <<<"$imported" ||
  fail "$mqh: SedgefoldVersion is not in the #import block: the helpers cannot tell another version of the library"
version_file="$(dirname "$0")/../VERSION"
version=$(head -n 1 "$version_file" 2>/dev/null || true)
if [[ $version =~ ^([0-9]+)\.([0-9]{1,2})\.([0-9]{1,2})$ ]]; then
  expected=$((10#${BASH_REMATCH[1]} * 10000 + 10#${BASH_REMATCH[2]} * 100 + 10#${BASH_REMATCH[3]}))
  kit=$(mql5_blank "$mqh" | sed -n -E 's/^[[:space:]]*#[[:space:]]*define[[:space:]]+SEDGEFOLD_KIT_VERSION[[:space:]]+([^[:space:]]*)[[:space:]]*$/\1/p')
  if [ "$(grep -c . <<<"$kit")" -ne 1 ]; then
    fail "$mqh: not one #define SEDGEFOLD_KIT_VERSION"
  elif [ "$kit" != "$expected" ]; then
    fail "$mqh: SEDGEFOLD_KIT_VERSION is $kit, but VERSION $version makes $expected: the helpers would refuse the library built with it"
  fi
else
  fail "$version_file holds \"$version\", not MAJOR.MINOR.PATCH (MINOR and PATCH below 100)"
fi
finish "$mqh against $dll"
