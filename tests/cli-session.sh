#!/usr/bin/env bash
# A scripted session of sedgefold.exe under Wine on a scratch tree: every
# command, in its W and A forms, its answers, its exit statuses, the failure
# boxes it copies to standard error, and what it did to the files (looked at
# from the Unix side, never through the program under test).
#
#   cli-session.sh BUILD_DIR SEDGEFOLD_EXE
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SEDGEFOLD_EXE" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
exe=$2
wine_run="$(cd "$(dirname "$0")" && pwd)/wine-run.sh"
version=$(head -n 1 "$(dirname "$0")/../VERSION")

scratch="$build/cli-session"
rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
# The same place as Wine sees it: drive Z: is the Unix root.
win="Z:${scratch//\//\\}"

passed=0 failed=0
out="" err="" status=0
failure() {
  echo "FAIL: $*"
  echo "  stdout: ${out//$'\n'/$'\n'          }"
  echo "  stderr: ${err//$'\n'/$'\n'          }"
  failed=$((failed + 1))
}
ok() { passed=$((passed + 1)); }

# run ARGS...: the program with its boxes closed; sets out, err, status.
run() {
  out=$(bash "$wine_run" "$build" "$exe" --close-boxes "$@" 2>"$scratch/.err")
  status=$?
  err=$(cat "$scratch/.err")
}

# expect STATUS "STDOUT" ARGS...: exact output and status, and no box.
expect() {
  local want_status=$1 want_out=$2
  shift 2
  run "$@"
  if [ "$status" -ne "$want_status" ] || [ "$out" != "$want_out" ] ||
    [[ "$err" == *"message box"* ]]; then
    failure "$* gave status $status, expected $want_status and \"$want_out\" without a box"
  else ok; fi
}

# expect_box "STDOUT" "BOX TEXT" ARGS...: one failure box holding the text,
# captioned with the module name; status 1.
expect_box() {
  local want_out=$1 want_box=$2
  shift 2
  run "$@"
  local boxes
  boxes=$(grep -c '^message box "Sedgefold.dll":$' <<<"$err")
  if [ "$status" -ne 1 ] || [ "$out" != "$want_out" ] || [ "$boxes" -ne 1 ] ||
    [[ "$err" != *"$want_box"* ]]; then
    failure "$* gave status $status and $boxes box(es), expected \"$want_out\" and one box with \"$want_box\""
  else ok; fi
}

# expect_sorted STATUS "FIRST LINE" "NAMES" ARGS...: a listing whose names
# come in the system's order, compared sorted.
expect_sorted() {
  local want_status=$1 want_first=$2 want_names=$3
  shift 3
  run "$@"
  local first names
  first=$(head -n 1 <<<"$out")
  names=$(tail -n +2 <<<"$out" | sed 's/^  //' | LC_ALL=C sort | paste -sd ' ' -)
  if [ "$status" -ne "$want_status" ] || [ "$first" != "$want_first" ] ||
    [ "$names" != "$want_names" ] || [[ "$err" == *"message box"* ]]; then
    failure "$* listed \"$first\" [$names], expected \"$want_first\" [$want_names]"
  else ok; fi
}

# check CONDITION-DESCRIPTION TEST...: a fact about the scratch tree.
check() {
  local what=$1
  shift
  if "$@"; then ok; else out="" err="" failure "$what"; fi
}

tree() {
  rm -rf "${scratch:?}/t"
  mkdir -p "$scratch/t/sub/deeper" "$scratch/t/empty"
  echo alpha >"$scratch/t/a.txt"
  echo beta >"$scratch/t/sub/b.txt"
  echo gamma >"$scratch/t/sub/deeper/c.txt"
  echo "по-русски" >"$scratch/t/Данные.txt"
}

# --- questions: check, empty -------------------------------------------------
tree
expect 0 "PathCheckW = 1" check "$win\\t"
expect 0 "PathCheckW = 1" check "$win\\t\\"
expect 1 "PathCheckW = 0" check "$win\\t\\a.txt"
expect 1 "PathCheckW = 0" check "$win\\t\\missing"
expect 0 "PathCheckA = 1" --ansi check "$win\\t"
expect 0 "PathIsEmptyW = 1" empty "$win\\t\\empty"
expect 1 "PathIsEmptyW = 0" empty "$win\\t\\sub"
expect 1 "PathIsEmptyW = 0" empty "$win\\t\\a.txt"
expect 0 "PathIsEmptyA = 1" --ansi empty "$win\\t\\empty"

# --- create and delete-empty -------------------------------------------------
expect 0 "PathCreateW = 1" create "$win\\made\\one\\two"
check "create makes every missing parent" test -d "$scratch/made/one/two"
expect 0 "PathCreateW = 1" create "$win\\made\\one\\two"
expect 0 "PathCreateA = 1" --ansi create "$win\\made\\Папка"
check "create --ansi spells a Cyrillic name right" test -d "$scratch/made/Папка"
expect 1 "PathDeleteEmptyW = 0" delete-empty "$win\\made\\one"
check "delete-empty leaves a directory with entries" test -d "$scratch/made/one/two"
expect 0 "PathDeleteEmptyW = 1" delete-empty "$win\\made\\one\\two"
check "delete-empty removes an empty directory" test ! -e "$scratch/made/one/two"
expect 0 "PathDeleteEmptyW = 1" delete-empty "$win\\made\\missing"
expect 0 "PathDeleteEmptyW = 1" delete-empty "$win\\t\\a.txt"
check "delete-empty leaves a file alone" test -f "$scratch/t/a.txt"
expect 0 "PathDeleteEmptyA = 1" --ansi delete-empty "$win\\made\\Папка"
check "delete-empty --ansi removes the Cyrillic directory" test ! -e "$scratch/made/Папка"

# --- copy, move, delete ------------------------------------------------------
tree
expect 0 "PathCopyW = 1" copy "$win\\t" "$win\\copied"
check "copy brings the whole tree" test "$(cat "$scratch/copied/sub/deeper/c.txt")" = gamma
check "copy leaves the source" test -f "$scratch/t/sub/b.txt"
expect 0 "PathMoveW = 1" move "$win\\copied" "$win\\moved"
check "move takes the tree away" test ! -e "$scratch/copied"
check "move puts it in place" test "$(cat "$scratch/moved/Данные.txt")" = "по-русски"
expect 0 "PathCopyA = 1" --ansi copy "$win\\t\\Данные.txt" "$win\\Копия.txt"
check "copy --ansi copies a file to a Cyrillic name" test -f "$scratch/Копия.txt"
expect 0 "PathMoveA = 1" --ansi move "$win\\Копия.txt" "$win\\moved\\Копия.txt"
check "move --ansi moves it" test -f "$scratch/moved/Копия.txt" -a ! -e "$scratch/Копия.txt"
expect 1 "PathCopyW = 0" copy "$win\\missing" "$win\\nowhere"
check "a failed copy creates nothing" test ! -e "$scratch/nowhere"
expect 0 "PathDeleteW = 1" delete "$win\\moved"
check "delete removes the whole tree" test ! -e "$scratch/moved"
expect 1 "PathDeleteW = 0" delete "$win\\moved"
mkdir -p "$scratch/gone/x"
expect 0 "PathDeleteA = 1" --ansi delete "$win\\gone"
check "delete --ansi removes the tree" test ! -e "$scratch/gone"

# --- clear-files, clear ------------------------------------------------------
tree
expect 0 "PathClearFromFilesW = 1" clear-files "$win\\t"
check "clear-files removes files at every depth" \
  test -z "$(find "$scratch/t" -type f)"
check "clear-files keeps every directory" test -d "$scratch/t/sub/deeper" -a -d "$scratch/t/empty"
tree
expect 0 "PathClearFromFilesA = 1" --ansi clear-files "$win\\t\\sub"
check "clear-files --ansi stays inside its directory" test -f "$scratch/t/a.txt"
check "clear-files --ansi empties below it" test -z "$(find "$scratch/t/sub" -type f)"
expect 0 "PathClearContentsW = 1" clear "$win\\t"
check "clear empties the directory and keeps it" \
  test -d "$scratch/t" -a -z "$(ls -A "$scratch/t")"
tree
expect 0 "PathClearContentsA = 1" --ansi clear "$win\\t\\sub\\"
check "clear --ansi empties the directory" test -d "$scratch/t/sub" -a -z "$(ls -A "$scratch/t/sub")"
expect_box "PathClearContentsW = 0" "не является каталогом!" clear "$win\\t\\a.txt"
check "clear on a file leaves it" test "$(cat "$scratch/t/a.txt")" = alpha
expect_box "PathClearFromFilesW = 0" "не является каталогом!" clear-files "$win\\t\\missing"

# --- list --------------------------------------------------------------------
tree
expect_sorted 0 "PathGetListW = 4" "a.txt empty sub Данные.txt" list "$win\\t\\*" all
expect_sorted 0 "PathGetListW = 2" "empty sub" list "$win\\t\\*" dirs
expect_sorted 0 "PathGetListW = 2" "a.txt Данные.txt" list "$win\\t\\*" files
expect_sorted 0 "PathGetListW = 2" "a.txt Данные.txt" list "$win\\t\\*" 2
expect_sorted 0 "PathGetListMW = 4" "a.txt empty sub Данные.txt" --records list "$win\\t\\*" all
expect_sorted 0 "PathGetListA = 2" "a.txt Данные.txt" --ansi list "$win\\t\\*" files
expect_sorted 0 "PathGetListMA = 4" "a.txt empty sub Данные.txt" --ansi --records list "$win\\t\\*" 3
expect_sorted 0 "PathGetListW = 0" "" list "$win\\t\\empty\\*" all
expect_sorted 0 "PathGetListW = 0" "" list "$win\\t\\sub\\deeper\\*" dirs
expect_sorted 0 "PathGetListW = 0" "" list "$win\\t\\*" all 0
run list "$win\\t\\*" all 2
check "list stops at its maximum" test "$(head -n 1 <<<"$out")" = "PathGetListW = 2" -a \
  "$(tail -n +2 <<<"$out" | wc -l)" -eq 2
run --records list "$win\\t\\*" all 1
check "list --records stops at its maximum" test "$(head -n 1 <<<"$out")" = "PathGetListMW = 1" -a \
  "$(tail -n +2 <<<"$out" | wc -l)" -eq 1
expect_box "PathGetListW = 0" "Неверно выбран метод поиска." list "$win\\t\\*" 0
expect_box "PathGetListMW = 0" "Неверно выбран метод поиска." --records list "$win\\t\\*" 4
expect_box "PathGetListW = 0" "Не получен системный дескриптор поиска для пути:" \
  list "$win\\t\\missing\\*" all
expect_box "PathGetListA = 0" "Не получен системный дескриптор поиска для пути:" \
  --ansi list "$win\\t\\missing\\*" all

# --- trim --------------------------------------------------------------------
expect 0 "PathTrimNameFileW = C:\\dir\\" trim 'C:\dir\file.txt'
expect 0 "PathTrimNameFileW = C:\\dir\\" trim 'C:\dir\sub\'
expect 0 "PathTrimNameFileW = file.txt" trim 'file.txt'
expect 0 "PathTrimNameFileW = abc\\" trim 'abc\'
expect 0 "PathTrimNameFileA = C:\\Папка\\" --ansi trim 'C:\Папка\Файл.txt'
expect_box "PathTrimNameFileW = null" "Отсутствует путь." trim ''
expect_box "PathTrimNameFileA = null" "Отсутствует путь." --ansi trim '\'

# --- link --------------------------------------------------------------------
tree
expect_box "PathSymbolicLinkW = 0" "Отсутсвует исходный путь:" \
  link "$win\\t\\missing" "$win\\links\\broken"
check "a link to a missing target creates nothing" test ! -e "$scratch/links"
# Windows makes the link only with the right to; the directory for it is
# made in any case (and Wine answers 1 without making the link itself).
run link "$win\\t" "$win\\links\\to-t"
check "link creates the directory that holds the link" test -d "$scratch/links"
check "link answers 1 or 0" test "$out" = "PathSymbolicLinkW = 1" -o "$out" = "PathSymbolicLinkW = 0"
expect_box "PathSymbolicLinkA = 0" "Отсутсвует исходный путь:" \
  --ansi link "$win\\t\\нет" "$win\\links\\broken"

# --- the command line itself -------------------------------------------------
run --help
for command in check empty create delete delete-empty clear clear-files copy move link list trim; do
  check "--help describes $command" grep -q "^  $command " <<<"$out"
done
run --version
check "--version gives the VERSION file's number" grep -qx "sedgefold $version" <<<"$out"
check "--version reads the DLL's version resource" grep -q "^Sedgefold.dll $version.0: " <<<"$out"
expect 2 "" frobnicate "$win"
expect 2 "" check
expect 2 "" copy "$win\\t"
expect 2 "" list "$win\\t\\*" sideways
expect 2 "" list "$win\\t\\*" all -1
expect 2 "" --frobnicate check "$win"
expect 2 "" --ansi create "$win\\日本"
check "a name the ANSI code page cannot spell reaches nothing" test ! -e "$scratch/日本"
expect 2 "" --ansi delete "$win\\t\\a.txü"
check "... nor turns into a wildcard" test -f "$scratch/t/a.txt"

# The library is found next to the program, or not at all.
mkdir -p "$scratch/alone"
cp "$exe" "$scratch/alone/"
out=$(bash "$wine_run" "$build" "$scratch/alone/$(basename "$exe")" check 'C:\' 2>&1)
status=$?
check "without Sedgefold.dll beside it the program says so and exits 3" \
  test "$status" -eq 3 -a -n "$(grep 'did not load' <<<"$out")"

echo "cli-session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
