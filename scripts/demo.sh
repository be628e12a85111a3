#!/usr/bin/env bash
# Builds everything, then shows sedgefold.exe, the command-line host, at work
# under Wine: every command on a scratch tree, in the W and A forms, the
# reports of four failures as it prints them on standard error (it runs the
# library quiet), and one of them as the message box that the terminal
# shows (--boxes; closed at once and printed by --close-boxes).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build

# Built first; the demonstration itself runs in a jail of its own
# (tests/jail.sh), whose Wine server is stopped and which is removed at the
# end, as for the tests.
if [ -z "${SF_JAIL:-}" ]; then
  bash scripts/build.sh "$build"
  exec bash tests/jail.sh "$build" bash scripts/demo.sh
fi

exe="$build/bin/sedgefold.exe"
# The scratch tree lives on the jail's drive C:, so its paths read like the
# paths of a terminal's machine.
scratch="$SF_JAIL_PREFIX/drive_c/sedgefold-demo"
root='C:\sedgefold-demo'
rm -rf "$scratch"
mkdir -p "$scratch"

section() { printf '\n=== %s\n' "$*"; }

# Shows the command as a user would type it, then its output; a status other
# than 0 is shown, never fatal here.
sf() {
  local shown=""
  for argument in "$@"; do
    case "$argument" in
      '' | *' '*) shown+=" \"$argument\"" ;;
      *) shown+=" $argument" ;;
    esac
  done
  printf '\n> sedgefold%s\n' "$shown"
  local status=0
  bash tests/wine-run.sh "$build" "$exe" "$@" 2>&1 || status=$?
  [ "$status" -eq 0 ] || echo "(exit status $status)"
}

# The scratch tree as the Unix side sees it.
show_tree() {
  printf '\n  files now:\n'
  (cd "$scratch" && find . -mindepth 1 | LC_ALL=C sort | sed 's|^\./|    |; s|/|\\|g')
}

section "sedgefold.exe loads Sedgefold.dll by name from its own folder"
sf --version

section "create: a directory with every missing parent"
sf create "$root\\Data\\2026\\Q1"
printf 'time;bid;ask\n' >"$scratch/Data/prices.csv"
printf 'quarterly report\n' >"$scratch/Data/2026/report.txt"
printf 'ticks\n' >"$scratch/Data/2026/Q1/ticks.csv"
printf 'отчёт\n' >"$scratch/Data/Отчёт.txt"
echo "  (and four files written into it)"
show_tree

section "check and empty: questions, no boxes"
sf check "$root\\Data"
sf check "$root\\Data\\prices.csv"
sf empty "$root\\Data\\2026"
sf create "$root\\Empty"
sf empty "$root\\Empty"

section "list: one level, in the system's order"
sf list "$root\\Data\\*" all
sf list "$root\\Data\\*" dirs
sf list "$root\\Data\\*" files 1
sf --records list "$root\\Data\\*" files
sf --ansi list "$root\\Data\\*" files

section "trim: the directory part of a path"
sf trim "$root\\Data\\prices.csv"
sf --ansi trim "$root\\Data\\Отчёт.txt"

section "copy and move whole trees"
sf copy "$root\\Data" "$root\\Backup"
sf create "$root\\Archive"
sf move "$root\\Backup" "$root\\Archive\\Backup"
show_tree

section "clear-files: every file below, directories stay"
sf clear-files "$root\\Archive"
show_tree

section "clear: everything inside, the directory stays"
sf clear "$root\\Archive"
show_tree

section "delete-empty: only an empty directory goes"
sf delete-empty "$root\\Data"
sf delete-empty "$root\\Archive"
sf delete-empty "$root\\Empty"

section "link: a directory symbolic link (the directory above it is made first)"
sf link "$root\\Data" "$root\\Links\\Data"
echo "  (Windows makes the link given the right to; Wine answers success without making it, and the library 0)"

section "delete: a whole tree, for good"
sf delete "$root\\Data"
sf check "$root\\Data"
show_tree

section "failures: the library's report, printed on standard error, and exit status 1"
sf delete 'sedgefold-demo\Data'
sf list "$root\\Links\\*" 5
sf clear "$root\\Links\\missing"
sf trim ""

section "the same failure as the terminal shows it: a message box (here copied and closed)"
sf --boxes --close-boxes trim ""
