#!/usr/bin/env bash
# Plants each fault of tests/mutants/kit/*.patch, one at a time, into a copy
# of the MQL5 kit (mql5/), runs tests/kit-run.sh on it, and prints the cases
# that kill it ("compile", "imports" and "translate" are the build's own
# checks). A fault that survives is a hole in the kit's tests; a patch that
# no longer applies needs redoing. About a minute a fault; not part of CI.
#
#   tests/mutants/kit/run.sh [BUILD_DIR [PATCH...]]   (build; every patch here)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
shift || true
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=("$here"/*.patch)
# One jail for every run: one Wine server, warmed once.
[ -n "${SF_JAIL:-}" ] || exec bash "$root/tests/jail.sh" "$build" bash "$here/run.sh" "$build" "${patches[@]}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# kills KIT: the names of the cases that fail on KIT, one a line.
kills() {
  bash "$root/tests/kit-run.sh" "$build" "$1" >"$work/log" 2>&1 || true
  sed -n 's/^FAIL: \([^:]*\):.*/\1/p' "$work/log" | LC_ALL=C sort -u
}
if [ -n "$(kills "$root/mql5")" ]; then
  echo "the unplanted kit fails already:" >&2
  cat "$work/log" >&2
  exit 1
fi
survivors=0
printf '%-44s %6s  %s\n' FAULT KILLS 'KILLED BY'
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  rm -rf "$work/mql5" && cp -R "$root/mql5" "$work/mql5"
  if ! patch -s -p1 -d "$work/mql5" <"$patch"; then
    printf '%-44s %6s  %s\n' "$name" - "does not apply"
    survivors=$((survivors + 1))
    continue
  fi
  killers=$(kills "$work/mql5")
  count=$(grep -c . <<<"$killers" || true)
  [ "$count" -gt 0 ] || survivors=$((survivors + 1))
  printf '%-44s %6s  %s\n' "$name" "$count" "$(head -n 4 <<<"$killers" | paste -sd ' ' -)$([ "$count" -gt 4 ] && echo ' ...')"
done
echo "$survivors fault(s) survived"
[ "$survivors" -eq 0 ]
