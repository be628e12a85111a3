#!/usr/bin/env bash
# A static check of the MQL5 sources, since MetaEditor does not run here. It
# catches the faults a compile would stop at first: an #include that does not
# resolve, brackets that do not balance, a script without OnStart, and a call
# of a Sedgefold* helper or a Path* import that nothing the file includes
# defines.
#
#   mql5-check.sh MQL5_DIR      (the source tree's mql5/ folder)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 MQL5_DIR" >&2; exit 2; }
root=$(cd "$1" && pwd)
source "$(dirname "$0")/lib-check.sh"

# FILE and everything it includes, depth first, each once (set seen="" first);
# "MISSING PATH" for an include that does not resolve.
chain() {
  case " $seen " in *" $1 "*) return ;; esac
  seen="$seen $1"
  echo "$1"
  local target
  while read -r target; do
    case "$target" in
      \<*) target="$root/Include/${target:1:-1}" ;;
      *) target="$(dirname "$1")/${target:1:-1}" ;;
    esac
    target=${target//\\//}
    if [ -f "$target" ]; then chain "$target"; else echo "MISSING $target"; fi
  done < <(sed -n 's/^[[:space:]]*#include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$1")
}

# "def NAME" for each function a line at column 0 defines or imports, "call
# NAME LINE" for each Sedgefold* or Path* called, "error TEXT" for brackets
# that do not balance. Comments and literals are blanked first, so a bracket
# or a name inside them counts for nothing.
scan() {
  awk '
    BEGIN {
      split("{ ( [", opening, " "); split("} ) ]", closing, " ")
      # The rest of a literal: up to its first unescaped closing quote.
      literal["\""] = "^([^\"\\\\]|\\\\.)*\""; literal["\047"] = "^([^\047\\\\]|\\\\.)*\047"
    }
    /^[ \t]*#/ { next }
    {
      rest = $0; code = ""
      while (match(rest, /\/\/|["\047]/)) {
        quote = substr(rest, RSTART, RLENGTH)
        code = code substr(rest, 1, RSTART - 1); rest = substr(rest, RSTART + RLENGTH)
        if (quote == "//") { rest = ""; break }
        if (!match(rest, literal[quote])) { print "error unterminated literal on line " NR; rest = ""; break }
        code = code "0"; rest = substr(rest, RLENGTH + 1)
      }
      code = code rest
      for (b = 1; b <= 3; b++) {
        depth[b] += gsub("[" opening[b] "]", "&", code) - gsub("[" closing[b] "]", "&", code)
        if (depth[b] < 0) { print "error unbalanced " closing[b] " on line " NR; depth[b] = 0 }
      }
      if (code ~ /^[A-Za-z_]/ && match(code, /[A-Za-z_][A-Za-z0-9_]*[ \t]*\(/)) {
        name = substr(code, RSTART, RLENGTH - 1); sub(/[ \t]+$/, "", name)
        print "def " name; code = substr(code, RSTART + RLENGTH)
      }
      while (match(code, /(^|[^A-Za-z0-9_])(Sedgefold|Path)[A-Za-z0-9_]*[ \t]*\(/)) {
        name = substr(code, RSTART, RLENGTH - 1); sub(/^[^A-Za-z]/, "", name); sub(/[ \t]+$/, "", name)
        print "call " name " " NR; code = substr(code, RSTART + RLENGTH)
      }
    }
    END { for (b = 1; b <= 3; b++) if (depth[b] != 0) print "error unbalanced " opening[b] closing[b] " at the end" }
  ' "$1"
}

files=$(find "$root" -type f \( -name '*.mq5' -o -name '*.mqh' \) | LC_ALL=C sort)
[ -n "$files" ] || { echo "FAIL: no MQL5 sources under $root"; exit 1; }
for file in $files; do
  name=${file#"$root"/} seen=""
  included=$(chain "$file")
  while read -r missing; do
    fail "$name includes $missing, which does not exist"
  done < <(sed -n 's/^MISSING //p' <<<"$included")
  defined=$(grep -v '^MISSING ' <<<"$included" | while read -r f; do scan "$f"; done | awk '$1 == "def" { print $2 }')
  while read -r kind what line; do
    case "$kind" in
      error) fail "$name: $what $line" ;;
      call) grep -qxF "$what" <<<"$defined" || fail "$name:$line calls $what, which nothing it includes defines" ;;
    esac
  done < <(scan "$file")
  # The compile of a script needs OnStart somewhere in what it includes.
  [[ "$file" != *.mq5 ]] || grep -qx OnStart <<<"$defined" || fail "$name has no OnStart"
done
finish "the MQL5 sources under $root"
