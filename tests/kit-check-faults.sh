#!/usr/bin/env bash
# Proves that kit-check.sh catches the faults it exists for: it must pass
# the real include file and fail every broken copy made here (a missing
# import, a duplicate, a lost or wrongly typed parameter, a wrong result
# type, a name the DLL does not export, an import of an export left out on
# purpose, and a header declaration that disagrees with the import). The
# same for mql5-check.sh on broken copies of the MQL5 sources.
#
#   kit-check-faults.sh OBJDUMP DLL HEADER MQH
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 OBJDUMP DLL HEADER MQH" >&2
  exit 2
fi
objdump=$1 dll=$2 header=$3 mqh=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { bash "$here/kit-check.sh" "$objdump" "$dll" "$1" "$2" >"$work/out" 2>&1; }

failures=0
if ! check "$header" "$mqh"; then
  cat "$work/out"
  echo "FAIL: the real include file does not pass"
  failures=$((failures + 1))
fi

# mutant NAME FILE(mqh|header) SED-SCRIPT [EXPECTED-TEXT]
mutant() {
  local name=$1 which=$2 script=$3 expected=${4:-}
  local broken_mqh=$mqh broken_header=$header
  if [ "$which" = mqh ]; then
    broken_mqh="$work/$name.mqh"
    sed -e "$script" "$mqh" >"$broken_mqh"
    cmp -s "$mqh" "$broken_mqh" && { echo "FAIL: $name: the mutation changed nothing"; failures=$((failures + 1)); return; }
  else
    broken_header="$work/$name.h"
    sed -e "$script" "$header" >"$broken_header"
    cmp -s "$header" "$broken_header" && { echo "FAIL: $name: the mutation changed nothing"; failures=$((failures + 1)); return; }
  fi
  if check "$broken_header" "$broken_mqh"; then
    echo "FAIL: $name: kit-check.sh passed a broken copy"
    failures=$((failures + 1))
  elif [ -n "$expected" ] && ! grep -qF "$expected" "$work/out"; then
    echo "FAIL: $name: kit-check.sh failed, but without naming \"$expected\":"
    cat "$work/out"
    failures=$((failures + 1))
  else
    echo "caught: $name: $(grep -m1 '^FAIL' "$work/out")"
  fi
}

mutant missing-import    mqh    '/^int *PathCopyW(/d' 'PathCopyW is exported but not imported'
mutant duplicate-import  mqh    '/^int *PathCheckA(/p' 'PathCheckA is imported 2 times'
mutant lost-parameter    mqh    's/ulong count, ulong size);/ulong count);/' 'PathGetListW takes 5 parameter(s) in the library, 4'
mutant extra-parameter   mqh    's/^int *PathMoveW(string source, string destination);/int PathMoveW(string source, string destination, int flags);/' 'PathMoveW takes 2'
mutant count-as-int      mqh    's/string &names\[\], ulong count)/string \&names[], int count)/' 'PathGetListMW parameter 4'
mutant trim-by-copy      mqh    's/PathTrimNameFileW(ushort &path\[\])/PathTrimNameFileW(string path)/' 'PathTrimNameFileW parameter 1'
mutant wide-as-narrow    mqh    's/PathCheckW(string path)/PathCheckW(uchar \&path[])/' 'PathCheckW parameter 1'
mutant pointer-as-int    mqh    's/^long *PathTrimNameFileA(/int PathTrimNameFileA(/' 'PathTrimNameFileA returns'
mutant count-result-int  mqh    's/^ulong PathGetListW(/int PathGetListW(/' 'PathGetListW returns'
mutant array-by-value    mqh    's/PathCreateA(uchar &path\[\])/PathCreateA(uchar path[])/' 'PathCreateA parameter 1'
mutant unknown-name      mqh    's/^int *PathIsEmptyW(/int PathIsEmptyX(/' 'PathIsEmptyX is imported but'
mutant left-out-imported mqh    's|^ulong PathGetListMW(string pattern|ulong PathGetListMA(uchar \&pattern[], int mode, string \&names[], ulong count);\nulong PathGetListMW(string pattern|' 'PathGetListMA is imported'
mutant unclosed-block    mqh    's/^#import$//' 'not closed'
mutant header-drift      header 's/const uint64_t count, const uint64_t size);/const uint64_t count);/' 'PathGetListA takes 4 parameter(s) in the library, 5'

# --- mql5-check.sh --------------------------------------------------------
kit=$(cd "$(dirname "$mqh")/.." && pwd)
if ! bash "$here/mql5-check.sh" "$kit" >"$work/out" 2>&1; then
  cat "$work/out"
  echo "FAIL: the real MQL5 sources do not pass mql5-check.sh"
  failures=$((failures + 1))
fi

# source_mutant NAME FILE(relative to the kit) SED-SCRIPT EXPECTED-TEXT
source_mutant() {
  local name=$1 file=$2 script=$3 expected=$4
  rm -rf "$work/kit"
  cp -r "$kit" "$work/kit"
  sed -e "$script" "$kit/$file" >"$work/kit/$file"
  if cmp -s "$kit/$file" "$work/kit/$file"; then
    echo "FAIL: $name: the mutation changed nothing"
    failures=$((failures + 1))
  elif bash "$here/mql5-check.sh" "$work/kit" >"$work/out" 2>&1; then
    echo "FAIL: $name: mql5-check.sh passed a broken copy"
    failures=$((failures + 1))
  elif ! grep -qF "$expected" "$work/out"; then
    echo "FAIL: $name: mql5-check.sh failed, but without naming \"$expected\":"
    cat "$work/out"
    failures=$((failures + 1))
  else
    echo "caught: $name: $(grep -m1 '^FAIL' "$work/out")"
  fi
}

source_mutant misspelt-helper Scripts/Sedgefold/SedgefoldMakeTree.mq5 \
  's/SedgefoldIsDir(deepest)/SedgefoldIsDirectory(deepest)/' 'calls SedgefoldIsDirectory'
source_mutant helper-arguments Scripts/Sedgefold/SedgefoldEmptyFolder.mq5 \
  's/Step("fill the folder", Fill(path))/Step(Fill(path))/' 'calls Step with 1 argument(s)'
source_mutant import-arguments Include/Sedgefold.mqh \
  's/return PathCopyW(source, destination) == 1;/return PathCopyW(source) == 1;/' 'calls PathCopyW with 1'
source_mutant builtin-arguments Scripts/Sedgefold/SedgefoldExamples.mqh \
  's/StringSplit(name, .\\\\., parts)/StringSplit(name, parts)/' 'calls StringSplit with 2'
source_mutant lost-brace Scripts/Sedgefold/SedgefoldCopyMove.mq5 \
  '0,/^  }$/s/^  }$//' 'unbalanced braces'
source_mutant missing-include Scripts/Sedgefold/SedgefoldMakeLink.mq5 \
  's/#include "SedgefoldExamples.mqh"/#include "SedgefoldSamples.mqh"/' 'SedgefoldSamples.mqh, which does not exist'
source_mutant no-onstart Scripts/Sedgefold/SedgefoldInspectFolder.mq5 \
  's/^void OnStart()/void OnBegin()/' 'has no OnStart'
source_mutant twice-defined Include/Sedgefold.mqh \
  's/^string SedgefoldTrimName(const string path)/string SedgefoldTrimmed(const string path)/' 'more than one definition of: SedgefoldTrimmed'

if [ "$failures" -ne 0 ]; then
  echo "$failures fault(s) not caught"
  exit 1
fi
echo "kit-check.sh and mql5-check.sh catch every planted fault: OK"
