# The cases of tests/kit-run.sh, which sources this file.

# --- The kit's tests: tables of rows, each an expectation ---
for program in KitNames KitGuards KitFiles; do
  run "$program" "$program"
  check "$program" "ran to its end, every expectation met (status $status)" ended "$program" 0
  check "$program" "ended with its last line" said "$program" "$program: done"
done
run KitNames-1252 KitNames SF_WINE_LOCALE=C.UTF-8 SF_INPUT_InpCodePage=1252
check KitNames-1252 "ran in code page 1252, every expectation met (status $status)" ended KitNames-1252 0
