# The cases of tests/kit-run.sh, which sources this file: the kit's tests,
# then each example run as the terminal runs it, judged by its journal and
# by the folders it worked on.

# --- The kit's tests: tables whose every row is an expectation ---
for program in KitNames KitGuards KitFiles; do
  run "$program" "$program"
  check "$program" "ran to its end, every expectation met (status $status)" ended "$program" 0
  check "$program" "ended with its last line" said "$program" "$program: done"
done
run KitNames-1252 KitNames SF_WINE_LOCALE=C.UTF-8 SF_INPUT_InpCodePage=1252
check KitNames-1252 "ran in code page 1252, every expectation met (status $status)" ended KitNames-1252 0

# --- The example scripts, in the sandbox beside folders of the user's ---
examples="$files/SedgefoldExamples"
mkdir -p "$examples/Yours/Deeper" "$files/Other"
echo mine >"$examples/Yours/notes.txt"
echo deep >"$examples/Yours/Deeper/d.txt"
echo other >"$files/Other/o.txt"
before=$(state "$files")
unchanged() { [ "$(state "$files")" = "$before" ]; }
# steps CASE OKS [FAILS]: the script's steps, so many "ok" and "FAILED".
steps() {
  [ "$(grep -c ' ok$' "$work/$1.journal")" -eq "$2" ] && [ "$(grep -c ' FAILED$' "$work/$1.journal")" -eq "${3:-0}" ]
}
# example CASE SCRIPT OKS FAILS [VARIABLE=VALUE...]: SCRIPT run to its end
# with no box, its steps so many, the sandbox left as it was found.
example() {
  local case=$1 script=$2 oks=$3 fails=$4
  shift 4
  run "$case" "$script" "$@"
  check "$case" "ended (status $status)" ended "$case" 0
  check "$case" "showed no box" boxless "$case"
  check "$case" "took $oks steps that went well and $fails that failed" steps "$case" "$oks" "$fails"
  check "$case" "left the sandbox as it found it" unchanged
}
root="$terminal\\MQL5\\Files\\SedgefoldExamples"
example inspect SedgefoldInspectFolder 0 0
check inspect "found the examples' folder and its parent" said inspect "PathCheckW($root) = 1"
check inspect "named the parent" said inspect "Its parent folder: $terminal\\MQL5\\Files\\"
example inspect-yours SedgefoldInspectFolder 0 0 SF_INPUT_InpFolder=Yours
check inspect-yours "listed a folder of the user's" said inspect-yours "  [Deeper]"
example tree SedgefoldMakeTree 7 0
example tree-nested SedgefoldMakeTree 8 0 'SF_INPUT_InpTree=New\Tree' SF_INPUT_InpDepth=2
example copy-move SedgefoldCopyMove 12 0 SF_INPUT_InpSource=Mine
check copy-move "took its source's name from its input" said copy-move "SedgefoldExamples\\Mine-moved: 1 folder(s), 1 file(s)"
example empty SedgefoldEmptyFolder 9 0
example link SedgefoldMakeLink 4 1
check link "said that Windows made no link (Wine makes none)" said link "Windows refused the link"
run list SedgefoldListFolder
check list "ended (status $status)" ended list 0
check list "made its sample and listed it in both forms" steps list 3
check list "left its sample folder, as its header says" \
  test "$(cd "$examples/ListMe" && find . | LC_ALL=C sort | paste -sd ' ')" = ". ./Reports ./notes.txt ./prices.csv"
before=$(state "$files")
example list-again SedgefoldListFolder 2 0 SF_INPUT_InpMax=1
check list-again "said the listing was cut" said list-again "The folder holds more than 1 such names"
# Names that are taken, or could lead out of the folder or name more than
# they spell: refused, nothing touched.
refusal=0
for input in "CopyMove InpSource=Yours" "EmptyFolder InpFolder=Yours" "EmptyFolder InpFolder=Yours\\Deeper" \
  "MakeTree InpTree=Yours" "MakeTree InpTree=..\\Other" "MakeTree InpTree=*" "MakeTree InpTree=con" \
  "CopyMove InpSource=a." "ListFolder InpFolder=..\\Other" "MakeLink InpLink=Deeper\\.."; do
  read -r script setting <<<"$input"
  example "refusal-$((++refusal))" "Sedgefold$script" 0 0 "SF_INPUT_$setting"
done
example copy-move-nodll SedgefoldCopyMove 0 0 MQL_DLLS_ALLOWED=0
check copy-move-nodll "asked for DLL imports" said copy-move-nodll "Allow DLL imports for this script"
run tree-kept SedgefoldMakeTree SF_INPUT_InpTree=Kept SF_INPUT_InpRemove=false
check tree-kept "ended (status $status)" ended tree-kept 0
check tree-kept "took its steps up to the removal" steps tree-kept 4
check tree-kept "left the tree, a note on each level" test -f "$examples/Kept/Level1/Level2/Level3/note.txt"
rm -rf "${examples:?}/Kept"
check tree-kept "changed nothing else" unchanged

# --- The expert, through OnInit, its timer and OnDeinit ---
watch="$SF_JAIL_S/$scratch/watch" watched="S:\\$scratch\\watch"
# incoming CSV TXT: a fresh watched folder with so many files of each; Wine
# lists a folder in name order, the .txt files first.
incoming() {
  rm -rf "$watch" && mkdir -p "$watch/in"
  for i in $(seq "$1"); do echo "c$i" >"$watch/in/z$i.csv"; done
  for i in $(seq "$2"); do echo "t$i" >"$watch/in/a$i.txt"; done
}
expert() {
  run "$1" SedgefoldWatchFolder "SF_INPUT_InpWatched=$watched\\in" "SF_INPUT_InpArchive=$watched\\archive" "${@:2}"
  check "$1" "ended (status $status)" ended "$1" 0
  check "$1" "showed no box" boxless "$1"
}
archived() { [ "$(find "$watch/archive" -type f -name "$1" 2>/dev/null | wc -l)" -eq "$2" ]; }
left() { [ "$(find "$watch/in" -type f -name "$1" | wc -l)" -eq "$2" ]; }
# The files of other kinds, listed first, do not keep the .csv files from
# the looks that take two files each.
incoming 3 30
expert watch-filter SF_INPUT_InpExtension=.csv SF_INPUT_InpMaxFiles=2 SF_TIMER_CALLS=4
check watch-filter "moved every .csv file, behind 30 others" archived '*.csv' 3
check watch-filter "left the other files" left '*.txt' 30
# Each call of the library taking a second: one file a look.
incoming 0 5
expert watch-budget SF_TICKS_PER_CALL=1000 SF_TIMER_CALLS=3
check watch-budget "moved one file in each of three looks" archived '*' 3
check watch-budget "said so each look" times_said watch-budget "Moved 1 of 1 file(s) to" 3
check watch-budget "left two for the next looks" left '*' 2
incoming 1 1
expert watch-tester MQL_TESTER=1
check watch-tester "refused to start in the tester" said watch-tester "does not run in the Strategy Tester"
check watch-tester "made no archive" test ! -e "$watch/archive"
expert watch-nodll MQL_DLLS_ALLOWED=0
check watch-nodll "refused to start without DLL imports" said watch-nodll "OnInit answered 1"
run watch-inside SedgefoldWatchFolder "SF_INPUT_InpWatched=$watched\\in" "SF_INPUT_InpArchive=$watched\\in\\a"
check watch-inside "refused an archive inside the watched folder" said watch-inside "lies in the watched folder"
# A file the library refuses to move (under Wine a link to a file, which it
# tells by where it resolves): said once in the journal, never in a box.
incoming 0 2
echo elsewhere >"$watch/elsewhere.txt"
ln -s ../elsewhere.txt "$watch/in/link.txt"
expert watch-link SF_TIMER_CALLS=3
check watch-link "said the lasting failure once" times_said watch-link "link.txt) failed:" 1
check watch-link "moved the plain files" archived '*' 2

# --- The service, until IsStopped() ---
backup="$SF_JAIL_S/$scratch/backup" backups="S:\\$scratch\\backup"
mkdir -p "$backup/Data/sub"
echo a >"$backup/Data/a.txt"
echo b >"$backup/Data/sub/b.txt"
service() {
  run "$1" SedgefoldBackupFolder "SF_INPUT_InpSource=$backups\\Data" "SF_INPUT_InpBackups=$backups\\Copies" "${@:2}"
  check "$1" "ended (status $status)" ended "$1" 0
  check "$1" "showed no box" boxless "$1"
}
copies() { find "$backup/Copies" -mindepth 1 -maxdepth 1 -name "$1" 2>/dev/null | LC_ALL=C sort; }
complete() { [ -n "$1" ] && [ "$(state "$1/Data")" = "$(state "$backup/Data")" ]; }
service backup-once SF_INPUT_InpHours=0
once=$(copies '*')
check backup-once "made one backup under its final name, complete" complete "$once"
check backup-once "left no partial backup" test -z "$(copies '*.partial')"
service backup-stopped SF_INPUT_InpHours=0 SF_STOP_ON=PathCopyW
check backup-stopped "left its copy under the partial name" complete "$(copies '*.partial')"
check backup-stopped "made no backup under a final name" test "$(copies '*')" = "$once"$'\n'"$(copies '*.partial')"
check backup-stopped "said why" said backup-stopped "not renamed"
rm -rf "$(copies '*.partial')"
service backup-loop SF_INPUT_InpHours=1 SF_STOP_ON=PathMoveW
check backup-loop "ended its loop once stopped, its last backup renamed" test "$(copies '*' | wc -l)" -eq 2
check backup-loop "left no partial backup" test -z "$(copies '*.partial')"
service backup-nodll MQL_DLLS_ALLOWED=0
check backup-nodll "asked for DLL imports" said backup-nodll "Allow DLL imports for this service"
