#!/usr/bin/env bash
# A scripted session of sedgefold.exe under Wine on a scratch tree: every
# command at work (W forms, and a few A forms), its answers, exit statuses,
# the failure reports it prints on standard error (and, with --boxes, the
# boxes it copies there instead), and what it did to the files
# (looked at from the Unix side, never through the program under test). It
# runs in the jail (tests/jail.sh) that CTest runs in, or in one of its own.
#
#   cli-session.sh BUILD_DIR SEDGEFOLD_EXE
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR SEDGEFOLD_EXE" >&2; exit 2; }
tests=$(cd "$(dirname "$0")" && pwd)
[ -n "${SF_JAIL:-}" ] || exec bash "$tests/jail.sh" "$1" bash "$tests/cli-session.sh" "$@"
build=$(cd "$1" && pwd)
exe=$2
wine_run="$tests/wine-run.sh"
version=$(head -n 1 "$tests/../VERSION")
# The scratch tree on the jail's drive S:, and the same folder as Unix sees it.
scratch="$SF_JAIL_S/cli-session-$$"
win="S:\\cli-session-$$"
rm -rf "$scratch" && mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT

passed=0 failed=0 out="" err="" status=0
ok() { passed=$((passed + 1)); }
failure() {
  echo "FAIL: $*"
  echo "  stdout: ${out//$'\n'/$'\n'          }"
  echo "  stderr: ${err//$'\n'/$'\n'          }"
  failed=$((failed + 1))
}

# run ARGS...: the program, any box it shows copied to standard error and
# closed (a quiet run must show none); sets out, err, status.
run() {
  out=$(bash "$wine_run" "$build" "$exe" --close-boxes "$@" 2>"$scratch/.err")
  status=$?
  err=$(cat "$scratch/.err")
}

# expect STATUS "STDOUT" ARGS...: exact output and status, no report and no
# box. With REPORT="TEXT" set for the call, one failure report on standard
# error instead, headed with the module name and holding the text, and still
# no box; with BOX="TEXT" (and --boxes among ARGS), one failure box holding
# the text, and no report printed.
expect() {
  local want_status=$1 want_out=$2 want_box=${BOX:-} want_report=${REPORT:-} boxes reports
  shift 2
  run "$@"
  boxes=$(grep -c '^message box ' <<<"$err")
  reports=$(grep -c '^failure report ' <<<"$err")
  if [ -n "$want_box" ]; then
    [ "$boxes" -eq 1 ] && [ "$reports" -eq 0 ] && [[ "$err" == *'message box "Sedgefold.dll":'*"$want_box"* ]]
  elif [ -n "$want_report" ]; then
    [ "$boxes" -eq 0 ] && [ "$reports" -eq 1 ] && [[ "$err" == *'failure report "Sedgefold.dll":'*"$want_report"* ]]
  else
    [ "$boxes" -eq 0 ] && [ "$reports" -eq 0 ]
  fi && [ "$status" -eq "$want_status" ] && [ "$out" = "$want_out" ] && ok ||
    failure "$* gave status $status, $boxes box(es) and $reports report(s), expected $want_status," \
      "\"$want_out\" and ${want_box:+the box }${want_report:+the report }${want_box}${want_report}"
}

# block HEADING: the indented lines under the first line of standard error
# that starts with HEADING.
block() { sed -n "/^$1/,\$p" <<<"$err" | tail -n +2; }

# expect_list "FIRST LINE" "NAMES" ARGS...: a listing, its names sorted
# (they come in the system's order).
expect_list() {
  local want_first=$1 want_names=$2 names
  shift 2
  run "$@"
  names=$(tail -n +2 <<<"$out" | sed 's/^  //' | LC_ALL=C sort | paste -sd ' ' -)
  [ "$status" -eq 0 ] && [ "$(head -n 1 <<<"$out")" = "$want_first" ] && [ "$names" = "$want_names" ] && ok ||
    failure "$* listed [$names], expected \"$want_first\" [$want_names]"
}

# check DESCRIPTION TEST...: a fact about the scratch tree.
check() {
  local what=$1
  shift
  "$@" && ok || { out="" err="" failure "$what"; }
}

tree() {
  rm -rf "${scratch:?}/t" && mkdir -p "$scratch/t/sub/deeper" "$scratch/t/empty"
  echo alpha >"$scratch/t/a.txt"
  echo gamma >"$scratch/t/sub/deeper/c.txt"
  echo "по-русски" >"$scratch/t/Данные.txt"
}

tree
expect 0 "PathCheckW = 1" check "$win\\t"
expect 1 "PathCheckW = 0" check "$win\\t\\a.txt"
expect 0 "PathIsEmptyW = 1" empty "$win\\t\\empty"
expect 1 "PathIsEmptyW = 0" empty "$win\\t\\sub"

expect 0 "PathCreateW = 1" create "$win\\made\\one\\two"
check "create makes every missing parent" test -d "$scratch/made/one/two"
expect 0 "PathCreateA = 1" --ansi create "$win\\made\\Папка"
check "create --ansi spells a Cyrillic name right" test -d "$scratch/made/Папка"
expect 0 "PathDeleteEmptyW = 1" delete-empty "$win\\made\\one\\two"
check "delete-empty removes an empty directory" test ! -e "$scratch/made/one/two" -a -d "$scratch/made/one"

expect 0 "PathCopyW = 1" copy "$win\\t" "$win\\copied"
check "copy brings the whole tree" test "$(cat "$scratch/copied/sub/deeper/c.txt")" = gamma -a -f "$scratch/t/a.txt"
expect 0 "PathMoveW = 1" move "$win\\copied" "$win\\moved"
check "move takes the tree over" test ! -e "$scratch/copied" -a "$(cat "$scratch/moved/Данные.txt")" = "по-русски"
expect 0 "PathDeleteW = 1" delete "$win\\moved"
check "delete removes the whole tree" test ! -e "$scratch/moved"

expect 0 "PathClearFromFilesW = 1" clear-files "$win\\t"
check "clear-files removes the files at every depth and keeps every directory" \
  test -z "$(find "$scratch/t" -type f)" -a -d "$scratch/t/sub/deeper" -a -d "$scratch/t/empty"
tree
expect 0 "PathClearContentsW = 1" clear "$win\\t\\sub"
check "clear empties the directory and keeps it" test -d "$scratch/t/sub" -a -z "$(ls -A "$scratch/t/sub")"
REPORT="не является каталогом!" expect 1 "PathClearContentsW = 0" clear "$win\\t\\a.txt"
check "clear on a file leaves it" test "$(cat "$scratch/t/a.txt")" = alpha
quiet=$(block 'failure report ')
BOX="не является каталогом!" expect 1 "PathClearContentsW = 0" --boxes clear "$win\\t\\a.txt"
check "the printed report is the text of the box, line for line" test -n "$quiet" -a "$quiet" = "$(block 'message box ')"

expect_list "PathGetListW = 4" "a.txt empty sub Данные.txt" list "$win\\t\\*" all
expect_list "PathGetListMW = 2" "empty sub" --records list "$win\\t\\*" dirs
expect_list "PathGetListA = 2" "a.txt Данные.txt" --ansi list "$win\\t\\*" files
run list "$win\\t\\*" all 2
check "list stops at its maximum" test "$(head -n 1 <<<"$out")" = "PathGetListW = 2" -a "$(wc -l <<<"$out")" -eq 3
REPORT="Неверно выбран метод поиска." expect 1 "PathGetListW = 0" list "$win\\t\\*" 0
BOX="Неверно выбран метод поиска." expect 1 "PathGetListW = 0" --boxes list "$win\\t\\*" 0
# A listing that fails answers 0 like an empty one; only the report tells.
expect 0 "PathGetListW = 0" list "$win\\t\\empty\\*" all
REPORT="Не получен системный дескриптор поиска" expect 1 "PathGetListW = 0" list "$win\\t\\missing\\*" all

expect 0 "PathTrimNameFileW = C:\\dir\\" trim 'C:\dir\file.txt'
expect 0 "PathTrimNameFileA = C:\\Папка\\" --ansi trim 'C:\Папка\Файл.txt'
REPORT="Отсутствует путь." expect 1 "PathTrimNameFileW = null" trim ''
REPORT="Отсутствует путь." expect 1 "PathTrimNameFileA = null" --ansi trim ''

REPORT="Отсутсвует исходный путь:" expect 1 "PathSymbolicLinkW = 0" link "$win\\t\\missing" "$win\\links\\broken"
check "a link to a missing target creates nothing" test ! -e "$scratch/links"
# The directory for the link is made first; Wine's CreateSymbolicLinkW then
# answers success and makes nothing, which the library answers with 0 and
# says so.
REPORT="ссылки, ведущей к цели, нет" expect 1 "PathSymbolicLinkW = 0" link "$win\\t" "$win\\links\\to-t"
check "link makes the directory for the link, and no link" test -d "$scratch/links" -a ! -e "$scratch/links/to-t"

# A name the ANSI code page cannot spell would reach the library with '?',
# a wildcard: here "a.tx?" would match a.txt.
expect 2 "" --ansi delete "$win\\t\\a.txü"
check "--ansi refuses text the code page cannot spell" test -f "$scratch/t/a.txt"

run --help
for command in check empty create delete delete-empty clear clear-files copy move link list trim; do
  check "--help describes $command" grep -q "^  $command " <<<"$out"
done
for option in --boxes --close-boxes; do
  check "--help describes $option" grep -q "^  $option " <<<"$out"
done
run --version
check "--version gives the VERSION file's number" grep -qx "sedgefold $version" <<<"$out"
check "--version reads the DLL's version resource" grep -q "^Sedgefold.dll $version.0, " <<<"$out"
IFS=. read -r major minor patch <<<"$version"
check "SedgefoldVersion answers MAJOR * 10000 + MINOR * 100 + PATCH" \
  grep -q "SedgefoldVersion $((major * 10000 + minor * 100 + patch)): " <<<"$out"
expect 2 "" frobnicate "$win"
expect 2 "" copy "$win\\t"
expect 2 "" list "$win\\t\\*" sideways
expect 2 "" --frobnicate check "$win"

# The library is found next to the program, or not at all.
mkdir -p "$scratch/alone" && cp "$exe" "$scratch/alone/"
out=$(bash "$wine_run" "$build" "$scratch/alone/$(basename "$exe")" check 'C:\' 2>&1)
status=$?
check "without Sedgefold.dll beside it the program says so and exits 3" \
  test "$status" -eq 3 -a -n "$(grep 'cannot load Sedgefold.dll' <<<"$out")"

echo "cli-session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
