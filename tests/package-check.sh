#!/usr/bin/env bash
# Unpacks the release package and checks it: the name carries the version of
# the VERSION file; the layout is the one a terminal's data folder expects,
# with nothing missing and nothing extra; the library inside (in both places)
# is byte for byte the DLL the tests ran against, and every other file is the
# source tree's own.
#
#   package-check.sh ZIP SOURCE_DIR TESTED_DLL [MORE_TESTED_DLL...] EXE
set -euo pipefail
[ $# -ge 4 ] || { echo "usage: $0 ZIP SOURCE_DIR TESTED_DLL [MORE_TESTED_DLL...] EXE" >&2; exit 2; }
zip=$1 source=$2
shift 2
tested=("${@:1:$#-1}")
exe=${*: -1}
source "$(dirname "$0")/lib-check.sh"
shopt -s nullglob

version=$(head -n 1 "$source/VERSION")
[ "$(basename "$zip")" = "Sedgefold-$version-win64.zip" ] ||
  fail "the package is called $(basename "$zip"), not Sedgefold-$version-win64.zip"
[ -f "$zip" ] || { echo "FAIL: $zip does not exist"; exit 1; }

expected=(MQL5/Libraries/Sedgefold.dll MQL5/Include/Sedgefold.mqh bin/sedgefold.exe
  bin/Sedgefold.dll README.md LICENSE CHANGELOG.md docs/guide.md)
for file in "$source"/mql5/Scripts/Sedgefold/*.mq5 "$source"/mql5/Scripts/Sedgefold/*.mqh; do
  expected+=("MQL5/Scripts/Sedgefold/$(basename "$file")")
done
for file in "$source"/mql5/Experts/Sedgefold/*.mq5; do
  expected+=("MQL5/Experts/Sedgefold/$(basename "$file")")
done
for file in "$source"/mql5/Services/Sedgefold/*.mq5; do
  expected+=("MQL5/Services/Sedgefold/$(basename "$file")")
done
for file in "$source"/docs/*.png; do expected+=("docs/$(basename "$file")"); done
entries=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
if ! difference=$(diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) - <<<"$entries"); then
  fail "the layout is wrong (< missing, > unexpected):"$'\n'"$difference"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
same() { cmp -s "$1" "$work/$2" || fail "$2 differs from $1"; }
for dll in "${tested[@]}"; do
  same "$dll" MQL5/Libraries/Sedgefold.dll
  same "$dll" bin/Sedgefold.dll
done
same "$exe" bin/sedgefold.exe
while read -r entry; do
  case "$entry" in
    MQL5/Libraries/* | bin/*) ;;
    MQL5/*) same "$source/mql5/${entry#MQL5/}" "$entry" ;;
    *) same "$source/$entry" "$entry" ;;
  esac
done <<<"$entries"
grep -q "^## $version\b" "$work/CHANGELOG.md" || fail "CHANGELOG.md has no entry for $version"
finish "$(wc -l <<<"$entries") files in $(basename "$zip")"
