#!/usr/bin/env bash
# Unpacks the release package and checks it: the name carries the version of
# the VERSION file; the layout is the one a terminal's data folder expects,
# with nothing missing and nothing extra; the library inside (in both
# places) is byte for byte the DLL the tests ran against, and the kit files
# are those of the source tree.
#
#   package-check.sh ZIP SOURCE_DIR TESTED_DLL [MORE_TESTED_DLL...] EXE
set -euo pipefail

if [ $# -lt 4 ]; then
  echo "usage: $0 ZIP SOURCE_DIR TESTED_DLL [MORE_TESTED_DLL...] EXE" >&2
  exit 2
fi
zip=$1 source=$2
shift 2
tested=("${@:1:$#-1}")
exe=${*: -1}

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

version=$(head -n 1 "$source/VERSION")
[ "$(basename "$zip")" = "Sedgefold-$version-win64.zip" ] ||
  fail "the package is called $(basename "$zip"), not Sedgefold-$version-win64.zip"
[ -f "$zip" ] || { echo "FAIL: $zip does not exist"; exit 1; }
unzip -tq "$zip" >/dev/null || fail "unzip -t finds the archive damaged"

# Every file the package must hold, and nothing else.
expected=(
  MQL5/Libraries/Sedgefold.dll
  MQL5/Include/Sedgefold.mqh
  bin/sedgefold.exe
  bin/Sedgefold.dll
  README.md
  LICENSE
  CHANGELOG.md
  docs/guide.md
)
for script in "$source"/mql5/Scripts/Sedgefold/*.mq5 "$source"/mql5/Scripts/Sedgefold/*.mqh; do
  expected+=("MQL5/Scripts/Sedgefold/$(basename "$script")")
done
for doc in "$source"/docs/*.png; do
  [ -e "$doc" ] && expected+=("docs/$(basename "$doc")")
done
scripts=$(ls "$source"/mql5/Scripts/Sedgefold/*.mq5 | wc -l)
[ "$scripts" -ge 6 ] || fail "only $scripts example scripts in the source tree"

entries=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
while IFS= read -r entry; do
  case "$entry" in
    /* | *..* | *\\*) fail "unsafe entry name: $entry" ;;
  esac
done <<<"$entries"
for want in "${expected[@]}"; do
  grep -qxF "$want" <<<"$entries" || fail "$want is missing"
done
while IFS= read -r entry; do
  printf '%s\n' "${expected[@]}" | grep -qxF "$entry" || fail "unexpected entry: $entry"
done <<<"$entries"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

for dll in "${tested[@]}"; do
  [ -f "$dll" ] || { fail "the tested DLL $dll does not exist"; continue; }
  cmp -s "$dll" "$work/MQL5/Libraries/Sedgefold.dll" ||
    fail "MQL5/Libraries/Sedgefold.dll differs from the tested $dll"
  cmp -s "$dll" "$work/bin/Sedgefold.dll" || fail "bin/Sedgefold.dll differs from the tested $dll"
done
cmp -s "$exe" "$work/bin/sedgefold.exe" || fail "bin/sedgefold.exe differs from $exe"
cmp -s "$source/mql5/Include/Sedgefold.mqh" "$work/MQL5/Include/Sedgefold.mqh" ||
  fail "MQL5/Include/Sedgefold.mqh differs from the source tree's"
for script in "$source"/mql5/Scripts/Sedgefold/*; do
  cmp -s "$script" "$work/MQL5/Scripts/Sedgefold/$(basename "$script")" ||
    fail "MQL5/Scripts/Sedgefold/$(basename "$script") differs from the source tree's"
done

file_of() { file -b "$1" 2>/dev/null || true; }
if command -v file >/dev/null; then
  file_of "$work/MQL5/Libraries/Sedgefold.dll" | grep -q 'PE32+.*DLL' ||
    fail "MQL5/Libraries/Sedgefold.dll is not a 64-bit DLL"
fi
grep -q 'Copyright (c) 2026 Sedgefold developers' "$work/LICENSE" || fail "LICENSE lacks the copyright line"
grep -q '^MIT License' "$work/LICENSE" || fail "LICENSE is not the MIT licence"
grep -q "^## $version\b" "$work/CHANGELOG.md" || fail "CHANGELOG.md has no entry for $version"

# The version resource carries the VERSION file's number (UTF-16 strings).
x86_64-w64-mingw32-strings -el "$work/MQL5/Libraries/Sedgefold.dll" | grep -qx "$version" ||
  fail "the DLL's version resource does not carry $version"
x86_64-w64-mingw32-strings -el "$work/bin/sedgefold.exe" | grep -qx "Sedgefold" ||
  fail "sedgefold.exe's version resource lacks the product name"

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in $zip"
  exit 1
fi
echo "$(wc -l <<<"$entries") files in $(basename "$zip"): OK"
