# The cases of tests/kit-run.sh, which sources this file.
for script in SedgefoldInspectFolder SedgefoldMakeTree SedgefoldCopyMove SedgefoldListFolder SedgefoldEmptyFolder SedgefoldMakeLink; do
  run "$script" "$script"
  check "$script" "ended" ended "$script" 0
  cat "$work/$script.journal"
done
