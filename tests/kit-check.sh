#!/usr/bin/env bash
# Checks the MQL5 include file against the library it imports from:
#   - every export of the built DLL is declared once in the #import block
#     (apart from the exports the include file deliberately leaves out, which
#     must then be named in a comment and not imported);
#   - nothing is imported that the DLL does not export;
#   - each declaration takes as many parameters as the C declaration in the
#     library's header, of matching MQL5 types, and returns a matching type.
#
#   kit-check.sh OBJDUMP DLL HEADER MQH
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 OBJDUMP DLL HEADER MQH" >&2
  exit 2
fi
objdump=$1 dll=$2 header=$3 mqh=$4

# Exports that MQL5 cannot call safely: commented, never imported.
not_imported="PathGetListMA"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every line "NAME RETURN PARAM..." with types reduced to classes:
#   wtext (const wchar_t* / string), wbuf (wchar_t* / ushort &[]),
#   atext, abuf (const char* / char*; MQL5 has only uchar &[] for both),
#   wrec, arec (string record arrays), int, u64, ptr (a returned pointer).

# The C side: declarations of the header, comments removed, one per ";".
c_decls=$(awk '
  { sub(/\/\/.*/, ""); text = text " " $0 }
  END {
    gsub(/\/\*([^*]|\*+[^*\/])*\*+\//, " ", text)
    n = split(text, statements, ";")
    for (i = 1; i <= n; i++) {
      s = statements[i]
      if (!match(s, /Path[A-Za-z]+[ \t]*\(/)) continue
      name = substr(s, RSTART, RLENGTH - 1); sub(/[ \t]+$/, "", name)
      before = substr(s, 1, RSTART - 1)
      rest = substr(s, RSTART + RLENGTH)
      if (!sub(/\).*$/, "", rest)) continue
      sub(/^.*[{}]/, "", before)
      line = name " " ctype(before, 1)
      if (rest !~ /^[ \t]*(void)?[ \t]*$/) {
        count = split(rest, params, ",")
        for (j = 1; j <= count; j++) line = line " " ctype(params[j], 0)
      }
      print line
    }
  }
  function ctype(t, isReturn,    words, n, k, w, pointer, konst, base) {
    gsub(/\*/, " * ", t); gsub(/&/, " & ", t)
    n = split(t, words, /[ \t]+/)
    pointer = 0; konst = 0; base = " "
    for (k = 1; k <= n; k++) {
      w = words[k]
      if (w == "" || w == "extern" || w == "\"C\"" || w == "__cdecl" || w == "struct" || w == "volatile") continue
      if (w == "*") { pointer = 1; continue }
      if (w == "const") { if (!pointer) konst = 1; continue }
      if (!pointer) base = base w " "
    }
    if (pointer) {
      if (isReturn) return "ptr"
      if (index(base, "_MQLSTRW")) return "wrec"
      if (index(base, "_MQLSTRA")) return "arec"
      if (index(base, " wchar_t ")) return konst ? "wtext" : "wbuf"
      if (index(base, " char ")) return konst ? "atext" : "abuf"
      return "unknown-pointer"
    }
    if (index(base, " uint64_t ") || index(base, " std::uint64_t ") || index(base, " __int64 ") || \
        index(base, " long long ") || index(base, " size_t ")) {
      return index(base, " unsigned ") || index(base, "uint64_t") || index(base, "size_t") ? "u64" : "i64"
    }
    if (index(base, " int ") || index(base, " int32_t ")) return index(base, " unsigned ") ? "u32" : "int"
    return "unknown(" base ")"
  }' "$header")

# The MQL5 side: the statements between #import "Sedgefold.dll" and #import.
mql_decls=$(awk '
  /^[ \t]*#import[ \t]+"Sedgefold\.dll"/ { inside = 1; opened++; next }
  inside && /^[ \t]*#import/ { inside = 0; closed++; next }
  inside { sub(/\/\/.*/, ""); text = text " " $0 }
  END {
    if (opened != 1) print "@opened " opened + 0
    if (closed != opened) print "@unclosed"
    gsub(/\/\*([^*]|\*+[^*\/])*\*+\//, " ", text)
    n = split(text, statements, ";")
    for (i = 1; i <= n; i++) {
      s = statements[i]
      if (s ~ /^[ \t]*$/) continue
      if (!match(s, /[A-Za-z_][A-Za-z_0-9]*[ \t]*\(/)) { print "@garbled " s; continue }
      name = substr(s, RSTART, RLENGTH - 1); sub(/[ \t]+$/, "", name)
      before = substr(s, 1, RSTART - 1)
      rest = substr(s, RSTART + RLENGTH)
      if (!sub(/\)[ \t]*$/, "", rest)) { print "@garbled " s; continue }
      line = name " " mqltype(before, 1)
      if (rest !~ /^[ \t]*(void)?[ \t]*$/) {
        count = split(rest, params, ",")
        for (j = 1; j <= count; j++) line = line " " mqltype(params[j], 0)
      }
      print line
    }
  }
  function mqltype(t, isReturn,    words, n, k, w, array, ref, base) {
    array = index(t, "[") > 0
    gsub(/\[/, " ", t); gsub(/\]/, " ", t); gsub(/&/, " & ", t); sub(/=.*/, "", t)
    n = split(t, words, /[ \t]+/)
    ref = 0; base = ""
    for (k = 1; k <= n; k++) {
      w = words[k]
      if (w == "" || w == "const") continue
      if (w == "&") { ref = 1; continue }
      if (base == "") base = w
    }
    if (isReturn) {
      if (base == "long" || base == "ulong") return "ptr|" (base == "ulong" ? "u64" : "i64")
      return base == "ulong" ? "u64" : base
    }
    if (array && !ref) return "array-by-value"
    if (array) {
      if (base == "string") return "wrec"
      if (base == "ushort") return "wbuf"
      if (base == "uchar" || base == "char") return "abuf"
      return base "[]"
    }
    if (ref) return "ref-" base
    if (base == "string") return "wtext"
    if (base == "ulong") return "u64"
    if (base == "long") return "i64"
    if (base == "uint") return "u32"
    return base
  }' "$mqh")

dump=$("$objdump" -p "$dll")
exports=$(awk '
  /\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
  inside && /^[[:space:]]*$/ { inside = 0 }
  inside && match($0, /\][[:space:]]+[^[:space:]]+/) {
    name = substr($0, RSTART + 1, RLENGTH - 1); gsub(/[[:space:]]/, "", name)
    print name
  }' <<<"$dump" | sort -u)
[ -n "$exports" ] || fail "$dll exports nothing"

while IFS= read -r line; do
  case "$line" in
    "@opened "*) fail "the include file has ${line#@opened } #import \"Sedgefold.dll\" blocks, not 1" ;;
    "@unclosed") fail "the #import \"Sedgefold.dll\" block is not closed by #import" ;;
    "@garbled "*) fail "cannot read the declaration:${line#@garbled}" ;;
  esac
done <<<"$mql_decls"

# Whether the MQL5 class of a parameter can carry the C one.
compatible() {
  local c=$1 m=$2
  case "$c:$m" in
    wtext:wtext | wtext:wbuf | wbuf:wbuf) return 0 ;;
    atext:abuf | abuf:abuf) return 0 ;;
    wrec:wrec | int:int | u64:u64 | u32:u32) return 0 ;;
  esac
  return 1
}

returns_match() {
  local c=$1 m=$2
  case "$c" in
    ptr) [[ "$m" == ptr\|* ]] ;;
    u64) [ "$m" = u64 ] || [ "$m" = "ptr|u64" ] ;;
    *) [ "$c" = "$m" ] ;;
  esac
}

imported_names=$(grep -v '^@' <<<"$mql_decls" | awk '{ print $1 }' || true)

while IFS= read -r name; do
  [ -n "$name" ] || continue
  c_line=$(awk -v n="$name" '$1 == n' <<<"$c_decls" | head -n 1)
  declared=$(grep -cxF "$name" <<<"$imported_names" || true)
  if grep -qwF "$name" <<<"$not_imported"; then
    [ "$declared" -eq 0 ] || fail "$name is imported, but MQL5 cannot call it safely"
    grep -E '^[[:space:]]*//.*\b'"$name"'\b' "$mqh" >/dev/null ||
      fail "$name is left out of the #import block without a comment saying so"
    echo "left out: $name"
    continue
  fi
  if [ "$declared" -eq 0 ]; then fail "$name is exported but not imported"; continue; fi
  if [ "$declared" -gt 1 ]; then fail "$name is imported $declared times"; continue; fi
  if [ -z "$c_line" ]; then fail "$name has no declaration in $header"; continue; fi
  m_line=$(grep -v '^@' <<<"$mql_decls" | awk -v n="$name" '$1 == n')
  read -r -a c_parts <<<"$c_line"
  read -r -a m_parts <<<"$m_line"
  c_count=$((${#c_parts[@]} - 2)) m_count=$((${#m_parts[@]} - 2))
  if [ "$c_count" -ne "$m_count" ]; then
    fail "$name takes $c_count parameter(s) in the library, $m_count in the include file"
    continue
  fi
  ok=1
  returns_match "${c_parts[1]}" "${m_parts[1]}" ||
    { fail "$name returns ${c_parts[1]} in the library, ${m_parts[1]} in the include file"; ok=0; }
  for ((i = 2; i < ${#c_parts[@]}; i++)); do
    compatible "${c_parts[$i]}" "${m_parts[$i]}" ||
      { fail "$name parameter $((i - 1)) is ${c_parts[$i]} in the library, ${m_parts[$i]} in the include file"; ok=0; }
  done
  [ "$ok" -eq 1 ] && echo "ok: $name ($c_count parameter(s))"
done <<<"$exports"

while IFS= read -r name; do
  [ -n "$name" ] || continue
  grep -qxF "$name" <<<"$exports" || fail "$name is imported but $dll does not export it"
done <<<"$(sort -u <<<"$imported_names")"

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in $mqh"
  exit 1
fi
echo "$mqh matches $dll: OK"
