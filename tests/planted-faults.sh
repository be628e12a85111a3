#!/usr/bin/env bash
# Proves that kit-check.sh and mql5-check.sh catch the faults a compile would
# (or should) stop at, and those a compile lets through that would crash the
# terminal, hold up a program's thread or act on the wrong folder: each kind
# is planted, one at a time, into a copy of the kit, found by pattern so that
# the kit may change around it. The checks must fail on every broken copy,
# naming the planted file with the expected kind of problem, and pass on the
# unbroken copy.
#
#   planted-faults.sh OBJDUMP DLL HEADER MQL5_DIR
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 OBJDUMP DLL HEADER MQL5_DIR" >&2; exit 2; }
objdump=$1 dll=$2 header=$3 kit=$4
here=$(dirname "$0")
source "$here/lib-check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The DLL's exports, read once for every check of a copy.
"$objdump" -p "$dll" | pe_exports >"$work/exports"
export SF_KIT_EXPORTS="$work/exports"

# checks DIR [FILE]: the checks on the kit copied to DIR; their report on
# stdout, non-zero when either fails. With FILE, only what reads that file:
# the MQL5 check of FILE itself (its problems are told for it alone, those
# of what it includes only when they are checked), and the check of the
# #import block when FILE is the include file.
checks() {
  local status=0
  if [ -z "${2:-}" ] || [ "$2" = Include/Sedgefold.mqh ]; then
    bash "$here/kit-check.sh" "$objdump" "$dll" "$header" "$1/Include/Sedgefold.mqh" 2>&1 || status=1
  fi
  bash "$here/mql5-check.sh" "$1" ${2:+"$2"} 2>&1 || status=1
  return $status
}

# edit MODE PATTERN [TEXT|N]: edits the first match of PATTERN in the code
# of the copy's sources (comments, literals, preprocessor lines and the
# #import block left out), in file order; prints the file's name, or fails
# when nothing matches. PATTERN names a function for the call modes.
#   replace PATTERN TEXT   the match becomes TEXT ("&" stands for the match)
#   drop PATTERN           the call loses its last argument
#   halve PATTERN          the call's last argument E becomes (E) / 2
#   shrink PATTERN N       the last ArrayResize, before the call, of the
#                          array passed as argument N gets 260 times fewer
#                          elements
#   unsize PATTERN N       that ArrayResize is gone: only its new size stays,
#                          in brackets, where the call stood
edit() {
  (cd "$work/kit" && find . -type f \( -name '*.mq5' -o -name '*.mqh' \) | sed 's|^\./||' | LC_ALL=C sort |
    xargs -r env LC_ALL=C awk -v mode="$1" -v pattern="$2" -v text="${3:-}" '
      function spaces(n) { return sprintf("%" n "s", "") }
      # The line with comments, literals and directives turned to spaces,
      # so that positions in it are positions in the source.
      function blank(s,   out, q) {
        if (s ~ /^[ \t]*#/) { if (s ~ /^[ \t]*#import/) importing = s ~ /"/; return spaces(length(s)) }
        if (importing) return spaces(length(s))
        while (match(s, /\/\/|["\047]/)) {
          out = out substr(s, 1, RSTART - 1); q = substr(s, RSTART, RLENGTH); s = substr(s, RSTART + RLENGTH)
          if (q == "//" || !match(s, q == "\"" ? "^([^\"\\\\]|\\\\.)*\"" : "^([^\047\\\\]|\\\\.)*\047"))
            return out spaces(length(q) + length(s))
          out = out q spaces(RLENGTH - 1) q; s = substr(s, RLENGTH + 1)
        }
        return out s
      }
      FNR == 1 { order[++files] = FILENAME; importing = 0 }
      { src[FILENAME] = src[FILENAME] $0 "\n"; code[FILENAME] = code[FILENAME] blank($0) "\n" }
      # The call whose "(" is at o in f: shut is its ")", comma[1..commas]
      # its top-level commas.
      function span(f, o,   j, c, depth) {
        commas = 0
        for (j = o; j <= length(code[f]); j++) {
          c = substr(code[f], j, 1)
          if (c ~ /[([{]/) depth++
          else if (c ~ /[)\]}]/ && !--depth) { shut = j; return }
          else if (c == "," && depth == 1) comma[++commas] = j
        }
      }
      function wrap(f, s, e, tail,   arg) {
        arg = substr(src[f], s, e - s + 1); sub(/^[ \t\n]+/, "", arg); sub(/[ \t\n]+$/, "", arg)
        src[f] = substr(src[f], 1, s - 1) (s > 1 && substr(src[f], s - 1, 1) == "," ? " " : "") "(" arg ")" tail substr(src[f], e + 1)
      }
      END {
        call = "(^|[^A-Za-z0-9_])" pattern "[ \t\n]*\\("
        for (i = 1; i <= files; i++) {
          f = order[i]
          if (!match(code[f], mode == "replace" ? pattern : call)) continue
          if (mode == "replace") {
            found = substr(src[f], RSTART, RLENGTH); new = text; gsub(/&/, found, new)
            src[f] = substr(src[f], 1, RSTART - 1) new substr(src[f], RSTART + RLENGTH)
          } else {
            o = RSTART + RLENGTH - 1; span(f, o); last = commas ? comma[commas] : o
            if (mode == "drop") src[f] = substr(src[f], 1, last - (commas ? 1 : 0)) substr(src[f], shut)
            else if (mode == "halve") wrap(f, last + 1, shut - 1, " / 2")
            else {
              k = text + 0
              if (commas < k - 1) continue
              s = k > 1 ? comma[k - 1] + 1 : o + 1; e = k <= commas ? comma[k] - 1 : shut - 1
              array = substr(code[f], s, e - s + 1); gsub(/[ \t\n]/, "", array)
              before = substr(code[f], 1, o); at = 0
              while (match(substr(before, at + 1), "ArrayResize[ \t\n]*\\([ \t\n]*" array "[ \t\n]*,"))
                at += RSTART + RLENGTH - 1
              if (!at) continue
              for (o = at; substr(code[f], o, 1) != "("; o--) ;
              span(f, o)
              if (mode == "shrink") wrap(f, comma[1] + 1, (commas > 1 ? comma[2] : shut) - 1, " / 260")
              else {
                for (st = o; substr(code[f], st - 1, 1) ~ /[ \t\n]/; st--) ;
                st -= length("ArrayResize")
                size = substr(src[f], comma[1] + 1, (commas > 1 ? comma[2] : shut) - comma[1] - 1)
                sub(/^[ \t\n]+/, "", size); sub(/[ \t\n]+$/, "", size)
                src[f] = substr(src[f], 1, st - 1) "(" size ")" substr(src[f], shut + 1)
              }
            }
          }
          printf "%s", src[f] > f
          print f
          exit
        }
        exit 1
      }')
}

cp -R "$kit" "$work/kit"
report=$(checks "$work/kit") || fail "the unbroken kit does not pass its checks: $report"

# by_hand MODE [TEXT]: plants what edit cannot reach (directives, the #import
# block, literals, whole statements) in the first file, in file order, where
# it fits; prints that file's name, or nothing.
#   script_show_inputs     the first script with inputs loses the property
#   unguard                the first file hiding imports behind
#                          SEDGEFOLD_STRING_RECORDS loses the #ifdef and its
#                          #endif: every program compiles what stood there
#   version                SEDGEFOLD_KIT_VERSION names another version
#   unimport               the declaration of SedgefoldVersion is gone
#   separator              the first character separator of a StringSplit
#                          call becomes a string
#   const TEXT             the first function with a const array parameter
#                          starts with TEXT, NAME standing for the parameter
by_hand() {
  local files
  files=$(cd "$work/kit" && find . -type f \( -name '*.mq5' -o -name '*.mqh' \) | sed 's|^\./||' | LC_ALL=C sort)
  case "$1" in
    script_show_inputs)
      planted=$(cd "$work/kit" && grep '^Scripts/.*\.mq5$' <<<"$files" | xargs -r grep -lE '^[[:space:]]*input[[:space:]]' |
        xargs -r grep -lE '^[[:space:]]*#property[[:space:]]+script_show_inputs' | head -n 1) || true
      [ -z "$planted" ] || sed -i -E '/^[[:space:]]*#property[[:space:]]+script_show_inputs/d' "$work/kit/$planted" ;;
    unguard)
      planted=$(cd "$work/kit" && xargs -r grep -lE '^[[:space:]]*#[[:space:]]*ifdef[[:space:]]+SEDGEFOLD_STRING_RECORDS' <<<"$files" | head -n 1) || true
      if [ -n "$planted" ]; then
        awk '!open && /^[ \t]*#[ \t]*ifdef[ \t]+SEDGEFOLD_STRING_RECORDS/ { open = 1; depth = 1; next }
          open && /^[ \t]*#[ \t]*if/ { depth++ }
          open && /^[ \t]*#[ \t]*endif/ && !--depth { open = 0; next }
          { print }' "$work/kit/$planted" >"$work/unguarded" && mv "$work/unguarded" "$work/kit/$planted"
      fi ;;
    version)
      planted=$(cd "$work/kit" && xargs -r grep -lE '^[[:space:]]*#define[[:space:]]+SEDGEFOLD_KIT_VERSION[[:space:]]' <<<"$files" | head -n 1) || true
      if [ -n "$planted" ]; then
        awk '!done && /^[ \t]*#[ \t]*define[ \t]+SEDGEFOLD_KIT_VERSION[ \t]+[0-9]+/ { $3 += 1; done = 1 } { print }' \
          "$work/kit/$planted" >"$work/version" && mv "$work/version" "$work/kit/$planted"
      fi ;;
    unimport)
      planted=$(cd "$work/kit" && xargs -r grep -lE '^[[:space:]]*int[[:space:]]+SedgefoldVersion[[:space:]]*\(' <<<"$files" | head -n 1) || true
      [ -z "$planted" ] || sed -i -E '/^[[:space:]]*int[[:space:]]+SedgefoldVersion[[:space:]]*\(/d' "$work/kit/$planted" ;;
    separator)
      planted=$(cd "$work/kit" && xargs -r grep -lE "^[^/]*StringSplit[[:space:]]*\([^,]*,[[:space:]]*'" <<<"$files" | head -n 1) || true
      [ -z "$planted" ] || sed -i -E "0,/^([^/]*StringSplit[[:space:]]*\([^,]*,[[:space:]]*)'(([^'\\\\]|\\\\.)*)'/s//\1\"\2\"/" "$work/kit/$planted" ;;
    const)
      planted=""
      for file in $files; do
        awk -v text="$2" '
          !done && !/^[ \t]*\/\// && match($0, /const[ \t]+[A-Za-z_]+[ \t]*&[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*\[\]/) {
            name = substr($0, RSTART, RLENGTH); sub(/[ \t]*\[\]$/, "", name); sub(/.*[& \t]/, "", name); pending = 1
          }
          { print }
          !done && pending && /^[ \t]*\{[ \t]*$/ { body = text; gsub(/NAME/, name, body); print "   " body; done = 1 }
          END { exit !done }' "$work/kit/$file" >"$work/const" || continue
        mv "$work/const" "$work/kit/$file"; planted=$file; break
      done ;;
  esac
  echo "$planted"
}

# Each fault: what it is, how edit (or by_hand, its mode starting with "+")
# plants it, and a pattern its report must show; fields separated by "@".
faults=(
  "an undefined macro@replace@(^|[^A-Za-z0-9_])SEDGEFOLD_[A-Z0-9_]+@&_UNDEFINED@_UNDEFINED is not defined"
  "a constant that does not exist@replace@CP_ACP@CP_ANSI@CP_ANSI is not defined"
  "a wrong argument count@drop@PathCheckW@@PathCheckW takes 1 argument"
  "a hard-coded code page@replace@CP_ACP@1251@code page is given as the number 1251"
  "a slot size in characters instead of bytes@halve@PathGetList[AW]@@slot"
  "a buffer 260 times too small@shrink@PathGetList[AW]@3@buffer is too small"
  "a narrow slot of 520 bytes, too small under a UTF-8 code page@replace@=[ \\t]*SEDGEFOLD_NARROW_SLOT_BYTES@= 2 * SEDGEFOLD_NAME_CHARS@a slot of 520 bytes cannot hold every name"
  "no ArrayResize before PathGetListW@unsize@PathGetListW@3@without being sized first"
  "no ArrayResize before PathGetListA@unsize@PathGetListA@3@without being sized first"
  "no ArrayResize before PathTrimNameFileW@unsize@PathTrimNameFileW@1@without being sized first"
  "a wide slot read at an offset in bytes@replace@[(][ \\t]*buffer[ \\t]*,[ \\t]*[a-z]+[ \\t]*[*][ \\t]*[A-Za-z_]+@& * 2@counts elements, not bytes"
  "a report capacity larger than its buffer@replace@SedgefoldLastReportW[ \\t]*[(][ \\t]*buffer[ \\t]*,[^)]*@& + 1@a capacity of"
  "a busy loop in OnTimer@replace@OnTimer[ \\t]*[(][ \\t]*[)][ \\t\\n]*[{]@&\\n   while(!IsStopped())\\n      Sleep(100);@loop in OnTimer"
  "SedgefoldQuiet(false) in an expert@replace@SedgefoldQuiet[ \\t]*[(][ \\t]*true[ \\t]*[)]@SedgefoldQuiet(false)@in an expert: a failure box"
  "a string separator for StringSplit@+separator@@@separator is given as a string"
  "an example deleting the examples' folder itself@replace@SedgefoldDelete[ \\t]*[(][A-Za-z_]+[)]@SedgefoldDelete(ExamplesRoot())@examples' folder itself"
  "a const array's element assigned@+const@@NAME[0] = NAME[0];@is const"
  "a const array resized@+const@@ArrayResize(NAME, 0);@ArrayResize changes its argument 1, but .* is const"
  "a version constant that VERSION does not make@+version@@@SEDGEFOLD_KIT_VERSION is"
  "the SedgefoldVersion import left out@+unimport@@@SedgefoldVersion is not in the #import block"
  "a script without #property script_show_inputs@+script_show_inputs@@@no #property script_show_inputs"
  "a statement without its semicolon@replace@[)];[ \\t]*\\n@)\\n@does not end with ;"
  "a string-record import outside #ifdef SEDGEFOLD_STRING_RECORDS@+unguard@@@string records .*outside #ifdef SEDGEFOLD_STRING_RECORDS"
  "a call of an import that only SEDGEFOLD_STRING_RECORDS declares@replace@PathGetListW[ \\t]*[(]@PathGetListMW(@PathGetListMW is not defined"
  "an example that deletes without asking whether its names are new@replace@ExampleNewPart[ \\t]*[(]@ExampleNameIsSafe(@never asks ExampleNewPart"
)
for fault in "${faults[@]}"; do
  IFS=@ read -r what mode pattern argument expected <<<"$fault"
  rm -rf "$work/kit"; cp -R "$kit" "$work/kit"
  if [[ $mode == +* ]]; then
    planted=$(by_hand "${mode#+}" "$argument")
  else
    planted=$(edit "$mode" "$pattern" "$argument") || planted=""
  fi
  if [ -z "$planted" ]; then
    fail "$what: nothing to plant it in (no match for $pattern); update this test to the kit"
    continue
  fi
  if report=$(checks "$work/kit" "$planted"); then
    fail "$what, planted in $planted, passes the checks"
  elif ! grep -E "$planted(:[0-9]+)?: .*$expected" <<<"$report" >/dev/null; then
    fail "$what, planted in $planted, fails the checks but not with \"$expected\" for that file: $report"
  else
    echo "caught: $what ($planted)"
  fi
done
finish "the planted faults"
