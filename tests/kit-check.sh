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
if [ -n "${SF_KIT_EXPORTS:-}" ]; then
  exports=$(cat "$SF_KIT_EXPORTS")
else
  exports=$("$objdump" -p "$dll" | pe_exports)
fi
[ -n "$exports" ] || fail "$dll exports nothing"
imported=$(awk '$1 !~ /^@/ { print $1 }' <<<"$mql_decls")

# The declarations held to the exports and to the header, in one pass:
# sections of "@c" (the header's), "@m" (the include file's) and "@x" (the
# DLL's export names); a problem a line.
problems=$({
  echo @c; echo "$c_decls"; echo @m; echo "$mql_decls"; echo @x; echo "$exports"
} | awk -v mqh="$mqh" -v header="$header" -v dll="$dll" '
  /^@[cmx]$/ { part = $0; next }
  NF == 0 { next }
  part == "@c" { c[$1] = $0; next }
  part == "@m" && $1 == "@block" {
    print mqh ": not one closed #import \"Sedgefold.dll\" block outside #ifdef SEDGEFOLD_STRING_RECORDS (and any other block closed)"
    next
  }
  part == "@m" && $1 == "@guarded" { behind[$2]++; next }
  part == "@m" {
    declared[$1]++; m[$1] = $0; order[++names] = $1
    for (i = 3; i <= NF; i++) records[$1] += $i == "wrec"
    next
  }
  part == "@x" { exported[$1] = 1; xorder[++xs] = $1 }
  END {
    for (k = 1; k <= names; k++) {
      name = order[k]
      if (done[name]++) continue
      if (records[name] > 0 && !behind[name])
        print mqh ": " name " takes string records (string &[]) outside #ifdef SEDGEFOLD_STRING_RECORDS: the MQL5 reference forbids string arrays as DLL parameters"
      else if (!records[name] && behind[name])
        print mqh ": " name " stands behind #ifdef SEDGEFOLD_STRING_RECORDS but takes no string records: a program without that macro loses it"
    }
    for (k = 1; k <= xs; k++) {
      name = xorder[k]
      if (name == "PathGetListMA") {
        if (declared[name]) print name " is imported, but MQL5 cannot call it safely"
        continue
      }
      if (declared[name] != 1) { print name " is imported " declared[name] + 0 " times, not once"; continue }
      if (!(name in c)) { print name " has no declaration in " header; continue }
      nc = split(c[name], cp, " "); nm = split(m[name], mp, " ")
      if (nc != nm) { print name " takes " nc - 2 " parameter(s) in the library, " nm - 2 " in the include file"; continue }
      # Position 1 is the result. A string can pass where the library only reads.
      for (i = 2; i <= nc; i++)
        if (cp[i] != mp[i] && cp[i] ":" mp[i] != "wtext:wbuf")
          print name ": " cp[i] " in the library, " mp[i] " in the include file at position " i - 1 " (1 is the result)"
    }
    for (k = 1; k <= names; k++)
      if (!(order[k] in exported) && !told[order[k]]++) print order[k] " is imported but " dll " does not export it"
  }')
while IFS= read -r problem; do
  [ -z "$problem" ] || fail "$problem"
done <<<"$problems"
if grep -qxF PathGetListMA <<<"$exports"; then
  grep -qE '^[[:space:]]*//.*\bPathGetListMA\b' "$mqh" ||
    fail "PathGetListMA is left out of the #import block without a comment saying so"
fi

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
