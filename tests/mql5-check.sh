#!/usr/bin/env bash
# A static check of the MQL5 sources, in lieu of the MetaEditor compiler,
# which does not run here:
#   - brackets balance in every file; every #include resolves;
#   - every function called is defined or imported in the file or in what it
#     includes, or is one of the terminal's functions listed below, and is
#     called with a number of arguments its definition accepts;
#   - nothing is defined twice; every script has OnStart, and a script with
#     inputs shows them (#property script_show_inputs).
#
#   mql5-check.sh MQL5_DIR      (the source tree's mql5/ folder)
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 MQL5_DIR" >&2
  exit 2
fi
root=$(cd "$1" && pwd)

# The terminal's functions the kit uses: name, fewest and most arguments
# (-1: any number).
builtins="
Print 1 -1
PrintFormat 1 -1
TerminalInfoString 1 1
StringLen 1 1
StringGetCharacter 2 2
StringSplit 3 3
StringSubstr 2 3
StringInit 1 3
StringToShortArray 2 4
ShortArrayToString 1 3
StringToCharArray 2 5
CharArrayToString 1 4
ArrayResize 2 3
ArrayFree 1 1
ArraySize 1 1
ArrayInitialize 2 2
FileOpen 2 4
FileWriteString 2 3
FileClose 1 1
FileIsExist 1 2
GetLastError 0 0
IntegerToString 1 3
MathMax 2 2
MathMin 2 2
"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The files a source includes, itself first, then depth first.
includes_of() {
  local file=$1 seen=$2
  case " $seen " in *" $file "*) return ;; esac
  echo "$file"
  seen="$seen $file"
  local line target
  while IFS= read -r line; do
    if [[ "$line" =~ ^[[:space:]]*#include[[:space:]]*\<([^>]+)\> ]]; then
      target="$root/Include/${BASH_REMATCH[1]//\\//}"
    elif [[ "$line" =~ ^[[:space:]]*#include[[:space:]]*\"([^\"]+)\" ]]; then
      target="$(dirname "$file")/${BASH_REMATCH[1]//\\//}"
    else
      continue
    fi
    if [ -f "$target" ]; then
      includes_of "$target" "$seen"
    else
      echo "MISSING:$target"
    fi
  done <"$file"
}

# For one file: "def NAME FEWEST MOST", "call NAME COUNT LINE" and
# "error TEXT" lines. Comments, strings and character literals are removed
# first; preprocessor lines are dropped.
scan() {
  awk '
  { text = text $0 "\n" }
  END {
    n = length(text); code = ""; line = 1; state = "code"
    for (i = 1; i <= n; i++) {
      c = substr(text, i, 1); d = substr(text, i + 1, 1)
      if (state == "code") {
        if (c == "/" && d == "/") { state = "line"; i++; continue }
        if (c == "/" && d == "*") { state = "block"; i++; continue }
        if (c == "\"") { state = "string"; code = code "S"; continue }
        if (c == "\x27") { state = "char"; code = code "0"; continue }
        code = code c
      } else if (state == "line") {
        if (c == "\n") { state = "code"; code = code c }
      } else if (state == "block") {
        if (c == "*" && d == "/") { state = "code"; i++ }
        else if (c == "\n") code = code c
      } else {
        quote = state == "string" ? "\"" : "\x27"
        if (c == "\\") { i++; continue }
        if (c == quote) state = "code"
        if (c == "\n") { print "error unterminated literal"; state = "code"; code = code c }
      }
    }
    # Preprocessor lines go; the declarations between #import lines stay.
    m = split(code, lines, "\n"); code = ""
    for (k = 1; k <= m; k++) {
      if (lines[k] ~ /^[ \t]*#/) lines[k] = ""
      code = code lines[k] "\n"
    }
    depth = 0; paren = 0; bracket = 0; line = 1; n = length(code)
    for (i = 1; i <= n; i++) {
      c = substr(code, i, 1)
      if (c == "\n") { line++; continue }
      if (c == "{") depth++
      if (c == "}") { depth--; if (depth < 0) { print "error unbalanced } on line " line; depth = 0 } }
      if (c == "(") paren++
      if (c == ")") { paren--; if (paren < 0) { print "error unbalanced ) on line " line; paren = 0 } }
      if (c == "[") bracket++
      if (c == "]") { bracket--; if (bracket < 0) { print "error unbalanced ] on line " line; bracket = 0 } }
      if (c !~ /[A-Za-z_]/ || substr(code, i - 1, 1) ~ /[A-Za-z0-9_]/) continue
      rest = substr(code, i)
      if (!match(rest, /^[A-Za-z_][A-Za-z0-9_]*[ \t\n]*\(/)) continue
      name = rest; sub(/[ \t\n]*\(.*/, "", name)
      open = i + RLENGTH - 1
      args = Arguments(code, open)
      if (name ~ /^(if|for|while|switch|return|sizeof|else|case)$/) continue
      if (depth == 0 && paren == 0) {
        # A definition or an import: name ( params ) followed by { or ;
        after = substr(code, closing + 1); sub(/^[ \t\n]*/, "", after)
        if (after ~ /^[{;]/) print "def " name " " (args - defaults) " " args
      } else if (depth > 0) {
        print "call " name " " args " " line
      }
    }
    if (depth != 0) print "error unbalanced braces at the end (" depth ")"
    if (paren != 0) print "error unbalanced parentheses at the end (" paren ")"
    if (bracket != 0) print "error unbalanced brackets at the end (" bracket ")"
  }
  # Arguments of the call whose "(" is at position open: their number, the
  # number that carry "=" (defaults, for definitions), and closing set to the
  # matching ")".
  function Arguments(code, open,    k, level, ch, count, nonblank) {
    level = 0; count = 0; nonblank = 0; defaults = 0
    for (k = open; k <= length(code); k++) {
      ch = substr(code, k, 1)
      if (ch == "(" || ch == "[" || ch == "{") { level++; if (level > 1) nonblank = 1; continue }
      if (ch == ")" || ch == "]" || ch == "}") {
        level--
        if (level == 0) { closing = k; return nonblank ? count + 1 : 0 }
        continue
      }
      if (level == 1 && ch == ",") { count++; continue }
      if (level == 1 && ch == "=" && substr(code, k + 1, 1) != "=" && substr(code, k - 1, 1) !~ /[=!<>]/) defaults++
      if (ch !~ /[ \t\n]/) nonblank = 1
    }
    closing = length(code)
    return count
  }' "$1"
}

files=$(find "$root" -type f \( -name '*.mq5' -o -name '*.mqh' \) | LC_ALL=C sort)
[ -n "$files" ] || { echo "FAIL: no MQL5 sources under $root"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for file in $files; do
  scan "$file" >"$work/$(echo "$file" | md5sum | cut -c1-16)"
done
scanned() { cat "$work/$(echo "$1" | md5sum | cut -c1-16)"; }

checked=0
for file in $files; do
  name=${file#"$root"/}
  chain=$(includes_of "$file" "")
  while IFS= read -r missing; do
    fail "$name includes ${missing#MISSING:}, which does not exist"
  done < <(grep '^MISSING:' <<<"$chain" || true)
  chain=$(grep -v '^MISSING:' <<<"$chain")

  scanned "$file" | awk '$1 == "error"' | while IFS= read -r line; do
    echo "FAIL: $name: ${line#error }"
  done
  errors=$(scanned "$file" | grep -c '^error' || true)
  failures=$((failures + errors))

  # Every definition visible from this file, and the built-ins.
  defs=$(for f in $chain; do scanned "$f" | awk '$1 == "def" { print $2, $3, $4 }'; done
    awk 'NF == 3' <<<"$builtins")
  duplicates=$(for f in $chain; do scanned "$f" | awk '$1 == "def" { print $2 }'; done |
    LC_ALL=C sort | uniq -d)
  [ -z "$duplicates" ] || fail "$name sees more than one definition of: $(echo $duplicates)"

  while read -r _ callee count line; do
    entry=$(awk -v n="$callee" '$1 == n' <<<"$defs" | head -n 1)
    if [ -z "$entry" ]; then
      fail "$name:$line calls $callee, which is neither defined nor a known function of the terminal"
      continue
    fi
    read -r _ fewest most <<<"$entry"
    if [ "$count" -lt "$fewest" ] || { [ "$most" -ge 0 ] && [ "$count" -gt "$most" ]; }; then
      fail "$name:$line calls $callee with $count argument(s); it takes $fewest to $most"
    fi
    checked=$((checked + 1))
  done < <(scanned "$file" | awk '$1 == "call"')

  if [[ "$file" == *.mq5 ]]; then
    scanned "$file" | grep -q '^def OnStart ' || fail "$name has no OnStart"
    if grep -q '^[[:space:]]*input[[:space:]]' "$file" &&
      ! grep -q '^#property[[:space:]]\+script_show_inputs' "$file"; then
      fail "$name has inputs but does not show them"
    fi
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the MQL5 sources under $root"
  exit 1
fi
echo "MQL5 sources under $root: $(wc -w <<<"$files") files, $checked calls checked: OK"
