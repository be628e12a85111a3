# Sourced by the host-side checks: failures are counted and reported at the
# end, and the DLL's export table is read one way for all of them.
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# finish SUBJECT: the verdict; exits non-zero after any failure.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) in $1"
    exit 1
  fi
  echo "$1: OK"
}

# The export names in the `objdump -p` text on standard input, sorted: the
# "[   0] PathCheckA" lines of its name pointer table.
pe_exports() {
  awk '/\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && NF == 0 { inside = 0 }
    inside { print $NF }' | LC_ALL=C sort -u
}

# --- Reading MQL5 sources (the include file and the example scripts) ---

# mql5_blank FILE: the text of FILE (MQL5, or the C header), line for line,
# with comments blanked and the text inside each literal dropped ("" and ''
# stay), so that brackets, commas and slashes in them count for nothing.
# Preprocessor lines keep their literals (#include "...", #import "...").
# A line whose literal does not close becomes "@@ ...", and a /* comment
# that never closes adds a last line "@@ ...".
mql5_blank() {
  LC_ALL=C awk '
    BEGIN { literal["\""] = "^([^\"\\\\]|\\\\.)*\""; literal["\047"] = "^([^\047\\\\]|\\\\.)*\047" }
    FNR == 1 { sub(/^\357\273\277/, "") }
    {
      rest = $0; out = ""; keep = !open && rest ~ /^[ \t]*#/
      while (rest != "") {
        if (open) {
          if (!(at = index(rest, "*/"))) break
          rest = substr(rest, at + 2); out = out " "; open = 0
          continue
        }
        if (!match(rest, /\/[\/*]|["\047]/)) { out = out rest; break }
        out = out substr(rest, 1, RSTART - 1); quote = substr(rest, RSTART, RLENGTH)
        rest = substr(rest, RSTART + RLENGTH)
        if (quote == "//") break
        if (quote == "/*") { open = 1; continue }
        if (!match(rest, literal[quote])) { out = "@@ a literal that does not close"; break }
        out = out quote (keep ? substr(rest, 1, RLENGTH) : quote); rest = substr(rest, RLENGTH + 1)
      }
      print out
    }
    END { if (open) print "@@ a /* comment that does not close" }' "$1"
}

# mql5_chain ROOT FILE: FILE and everything it includes, depth first, each
# once (set seen="" first); "MISSING PATH" for an include that does not
# resolve. <name> is looked up in ROOT/Include, "name" beside the file.
mql5_chain() {
  case " $seen " in *" $2 "*) return ;; esac
  seen="$seen $2"
  echo "$2"
  local target
  while read -r target; do
    case "$target" in
      \<*) target="$1/Include/${target:1:-1}" ;;
      *) target="$(dirname "$2")/${target:1:-1}" ;;
    esac
    target=${target//\\//}
    if [ -f "$target" ]; then mql5_chain "$1" "$target"; else echo "MISSING $target"; fi
  done < <(sed -n 's/^[[:space:]]*#include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$2")
}
