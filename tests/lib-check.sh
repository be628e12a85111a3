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
