#!/usr/bin/env bash
# Plants each fault of tests/mutants/*.patch, one at a time, into a copy of
# the sources, builds it and runs the whole suite in a jail, and prints which
# tests kill it. A fault no test kills is a hole in the suite; so is a patch
# that no longer applies (the code it names has moved on).
#
#   tests/mutants/run.sh [PATCH...]       (default: every patch here)
#
# SF_MUTANT_DIR picks the work folder (default build-mutants beside build/);
# its build tree is kept between runs, so later runs rebuild only what a
# patch touches. Not part of CI: each fault costs a build and a full run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=${SF_MUTANT_DIR:-$root/build-mutants}
source=$work/src build=$work/build
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=("$here"/*.patch)

# The sources as they are now (tracked files, edits included). Only a file
# whose content changed is written, with the time of now: the kept build
# tree goes by times, and an edit older than its last build (the package's
# README) would otherwise be taken as built.
fresh=$work/fresh
rm -rf "$fresh" && mkdir -p "$fresh" "$source"
(cd "$root" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$fresh"
(cd "$source" && find . -type f -print0) | while IFS= read -r -d '' file; do
  [ -e "$fresh/$file" ] || rm -f "$source/$file"
done
(cd "$fresh" && find . -type f -print0) | while IFS= read -r -d '' file; do
  cmp -s "$fresh/$file" "$source/$file" ||
    { mkdir -p "$(dirname "$source/$file")" && cp "$fresh/$file" "$source/$file"; }
done
bash "$source/scripts/build.sh" "$build" >/dev/null

# suite LABEL: the names of the tests that fail, one per line.
suite() {
  local log=$work/$1.log
  bash "$source/tests/jail.sh" "$build" \
    ctest --test-dir "$build" --no-tests=error -j2 --timeout 120 >"$log" 2>&1 || true
  sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|Subprocess aborted\|Exception\|SEGFAULT\|Not Run\))$/\1/p' "$log"
}

baseline=$(suite baseline)
if [ -n "$baseline" ]; then
  echo "the unplanted suite fails already:" >&2
  echo "$baseline" >&2
  exit 1
fi

survivors=0
printf '%-36s %6s  %s\n' FAULT KILLS 'KILLED BY'
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! patch -s -p1 -d "$source" <"$patch"; then
    printf '%-36s %6s  %s\n' "$name" - "does not apply"
    survivors=$((survivors + 1))
    continue
  fi
  if cmake --build "$build" >"$work/$name.build.log" 2>&1; then
    killers=$(suite "$name")
  else
    killers="(the build fails)"
  fi
  patch -s -R -p1 -d "$source" <"$patch"
  count=$(grep -c . <<<"$killers" || true)
  [ "$count" -gt 0 ] || survivors=$((survivors + 1))
  printf '%-36s %6s  %s\n' "$name" "$count" "$(head -n 3 <<<"$killers" | paste -sd ' ' -)$([ "$count" -gt 3 ] && echo ' ...')"
  printf '%s\n' "$killers" >"$work/$name.killers"
done
cmake --build "$build" >/dev/null 2>&1 || true
echo "$survivors fault(s) survived"
[ "$survivors" -eq 0 ]
