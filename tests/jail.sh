#!/usr/bin/env bash
# Runs a command inside a jail: a throw-away folder that holds a Wine prefix
# with no Z: drive, the drives the tests use, and canary files, so that no
# Windows program of this project can reach the machine's own files.
#
#   tests/jail.sh [--verbose] BUILD_DIR COMMAND [ARGS...]
#
# Under Wine a drive letter is a Unix symlink, and a ".." that reaches the
# Unix layer climbs out of a drive into the folder that holds it. The drive
# folders therefore lie six levels deep in the throw-away folder, and a canary
# file and a canary tree at every level outside the prefix and the drives must
# come through the command unchanged:
#
#   JAIL/canary.txt, JAIL/canary/, JAIL/1/canary.txt, ... JAIL/1/2/3/4/5/6/...
#   JAIL/1/2/3/4/5/6/prefix        the Wine prefix (drive C:)
#   JAIL/1/2/3/4/5/6/drives/s      drives S: and T: (one folder, two letters)
#   JAIL/1/2/3/4/5/6/drives/r      drive R:
#   JAIL/1/2/3/4/5/6/drives/q      drive Q:, a tmpfs of 1 MiB (a full drive),
#                                  only where the jail is a tmpfs of its own
#   JAIL/1/2/3/4/5/6/drives/v      drive V:, a tmpfs of 64 MiB (another volume),
#                                  only there too
#   JAIL/1/2/3/4/5/6/drives/canary.txt, drives/canary/
#
# As root, where unshare works, the jail is a tmpfs mounted in a private mount
# namespace; otherwise a folder made by mktemp -d (SF_JAIL_ON_DISK=1 asks for
# that). Either way it is removed afterwards. The prefix is a copy of a
# template kept in BUILD_DIR/wine. The command runs with the jail's Wine
# environment (WINEPREFIX and the rest) and:
#   SF_JAIL         the throw-away folder (tests/wine-run.sh runs programs in it)
#   SF_JAIL_PREFIX  the Wine prefix
#   SF_JAIL_S       the folder of S: and T:
#   SF_JAIL_R       the folder of R:
#   SF_JAIL_Q       the folder of Q: (unset when there is no Q:)
#   SF_JAIL_V       the folder of V: (unset when there is no V:)
# Its exit status is the command's, or 70 when a canary changed. --verbose
# tells where the jail is and how long making it took.
set -euo pipefail
shopt -s inherit_errexit

verbose=false
if [ "${1:-}" = --verbose ]; then
  verbose=true
  shift
fi
if [ $# -lt 2 ]; then
  echo "usage: $0 [--verbose] BUILD_DIR COMMAND [ARGS...]" >&2
  exit 2
fi
build=$1
shift
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
mkdir -p "$build/wine"
state=$(cd "$build/wine" && pwd -P)

# A private mount namespace first: the tmpfs mounted there is seen by nothing
# else and goes away with the namespace's last process.
if [ -z "${SF_JAIL_MOUNT:-}" ] && [ -z "${SF_JAIL_ON_DISK:-}" ] && [ "$(id -u)" -eq 0 ] &&
  unshare -m --propagation private true >/dev/null 2>&1; then
  mountpoint=$(mktemp -d "${TMPDIR:-/tmp}/sedgefold-jail.XXXXXX")
  status=0
  options=()
  if $verbose; then options=(--verbose); fi
  SF_JAIL_MOUNT=$mountpoint unshare -m --propagation private bash "$self" \
    "${options[@]}" "$build" "$@" || status=$?
  rmdir "$mountpoint" 2>/dev/null || rm -rf "$mountpoint"
  exit "$status"
fi

export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: the prefix boots in seconds and needs no download.
export WINEDLLOVERRIDES='mscoree=;mshtml='
unset LANGUAGE
# Every program runs with the Russian locale, which gives Wine the ANSI code
# page 1251 that the terminal's users have. Without the Unix locale Wine falls
# back to code page 1252 and cannot store Cyrillic file names; a machine that
# lacks it gets a private copy.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
  export LOCPATH="$state/locale"
  if [ ! -d "$LOCPATH/ru_RU.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ru_RU -f UTF-8 "$LOCPATH/ru_RU.UTF-8" >/dev/null 2>&1 ||
      [ -d "$LOCPATH/ru_RU.UTF-8" ]
  fi
fi
# Set for Wine only: this shell would warn if the locale is private.
wine() { env LC_ALL=ru_RU.UTF-8 wine "$@"; }
quietly() { "$@" </dev/null >/dev/null 2>&1; }

# The folder of Wine's server for a stopped prefix, which Debian's Wine makes
# with mktemp and names in the prefix: each prefix made here has its own.
remove_server_folder() {
  local name
  name=$(cat "$1/wineserver" 2>/dev/null) || return 0
  case "$name" in wine-?*) [[ "$name" != */* ]] && rm -rf "${TMPDIR:-/tmp}/$name" ;; esac
}

# The template: booted once, with the null graphics driver (message boxes
# become real windows without an X server) and drive C: alone. Remade when
# Wine changes. The caller holds the lock.
make_template() {
  local template="$state/template" version link
  version=$(command wine --version 2>/dev/null)
  # The mark names the Wine version and the template's own make-up.
  version="$version, no crash debugger 2"
  [ -f "$state/template.ready" ] && [ "$(cat "$state/template.ready")" = "$version" ] && return 0
  # A prefix of older builds (its Z: drive mapped /): gone for good.
  if [ -d "$state/prefix" ]; then
    WINEPREFIX="$state/prefix" quietly wineserver -k || true
    WINEPREFIX="$state/prefix" quietly wineserver -w || true
    remove_server_folder "$state/prefix"
    rm -rf "$state/prefix" "$state/prefix.ready"
  fi
  if [ -d "$template" ]; then
    WINEPREFIX="$template" quietly wineserver -k || true
    remove_server_folder "$template"
  fi
  rm -rf "$template" "$state/template.ready"
  (
    export WINEPREFIX="$template"
    wine wineboot -i </dev/null >"$state/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
      </dev/null >>"$state/wineboot.log" 2>&1
    # A program that crashes ends at once, instead of waiting on winedbg
    # until CTest's timeout: the debugger named is no program, so none
    # starts.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
      /d 'no-crash-debugger.exe' /f </dev/null >>"$state/wineboot.log" 2>&1
    # The driver is chosen when the server starts: restart it once.
    quietly wineserver -k || true
    quietly wineserver -w || true
  )
  remove_server_folder "$template"
  rm -f "$template/wineserver"
  for link in "$template"/dosdevices/?: "$template"/dosdevices/?::; do
    if [ -L "$link" ] && [ "${link##*/}" != c: ]; then rm -f "$link"; fi
  done
  if [ -e "$template/dosdevices/z:" ] || [ -L "$template/dosdevices/z:" ] ||
    [ ! -d "$template/dosdevices/c:/windows" ]; then
    echo "jail.sh: the Wine template in $template is not as expected; see $state/wineboot.log" >&2
    exit 1
  fi
  echo "$version" >"$state/template.ready"
}

# The jail's folder: a fresh tmpfs in this namespace, or a folder on disk.
mounted=false
if [ -n "${SF_JAIL_MOUNT:-}" ]; then
  jail=$SF_JAIL_MOUNT
  unset SF_JAIL_MOUNT
  if mount -t tmpfs -o mode=0700 sedgefold-jail "$jail" 2>/dev/null; then mounted=true; fi
else
  jail=$(mktemp -d "${TMPDIR:-/tmp}/sedgefold-jail.XXXXXX")
fi
jail=$(cd "$jail" && pwd -P)
deep="$jail/1/2/3/4/5/6"
prefix="$deep/prefix"
levels=("$jail" "$jail/1" "$jail/1/2" "$jail/1/2/3" "$jail/1/2/3/4" "$jail/1/2/3/4/5" "$deep"
  "$deep/drives")

# Every canary file and folder: its name, a tab, its kind, size and
# contents.
canary_state() {
  local level path
  for level in "${levels[@]}"; do
    { find "$level/canary.txt" "$level/canary" -print0 2>/dev/null || true; } | LC_ALL=C sort -z |
      while IFS= read -r -d '' path; do
        printf '%s\t' "${path#"$jail"/}"
        if [ -L "$path" ]; then echo "a link to $(readlink "$path")"
        elif [ -d "$path" ]; then echo "a folder"
        elif [ -f "$path" ]; then
          echo "a file of $(stat -c %s "$path") bytes, md5 $(md5sum <"$path" | cut -c1-32)"
        else echo "neither file nor folder"
        fi
      done
  done
}

# What differs between two canary states, a line for each name.
canary_changes() {
  awk -F '\t' 'NR == FNR { before[$1] = $2; next } { after[$1] = $2 }
    END {
      for (name in before)
        if (!(name in after)) print name " is gone (was " before[name] ")"
        else if (after[name] != before[name]) print name " changed: was " before[name] ", now " after[name]
      for (name in after) if (!(name in before)) print name " is new: " after[name]
    }' <(echo "$1") <(echo "$2") | LC_ALL=C sort
}

status=0 planted=false full=false other=false
# Stops the jail's server, checks the canaries, removes the jail and exits
# with $status.
teardown() {
  trap - EXIT INT TERM HUP
  set +e  # whatever fails here, the rest is still done
  # The server ends every program of the jail: nothing changes after this.
  if [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" quietly wineserver -k || true
    WINEPREFIX="$prefix" quietly wineserver -w || true
    remove_server_folder "$prefix"
  fi
  if $planted; then
    local after
    after=$(canary_state)
    if [ "$after" != "$canaries" ]; then
      {
        echo "jail.sh: CANARY CHANGED: a program touched files outside the jail's drives"
        echo "jail.sh: (a path escaped its drive) in $jail:"
        canary_changes "$canaries" "$after" | sed 's/^/jail.sh:   /'
      } >&2
      status=70
    elif $verbose; then
      echo "jail.sh: all $(grep -c . <<<"$canaries") canaries unchanged"
    fi
  fi
  if $full; then umount "$deep/drives/q" || umount -l "$deep/drives/q"; fi
  if $other; then umount "$deep/drives/v" || umount -l "$deep/drives/v"; fi
  rm -rf "${jail:?}"/* "${jail:?}"/.[!.]* 2>/dev/null || true
  if $mounted; then umount "$jail" || umount -l "$jail"; else rmdir "$jail" 2>/dev/null || true; fi
  exit "$status"
}
trap 'status=$?; teardown' EXIT
trap 'status=130; teardown' INT
trap 'status=143; teardown' TERM HUP

seconds() { awk -v from="$1" -v to="$(date +%s.%N)" 'BEGIN { printf "%.1f", to - from }'; }
started=$(date +%s.%N)
mkdir -p "$deep/drives/s" "$deep/drives/r"
# A drive that fills up: some shells answer success for a copy that did not
# fit, and the library must not.
if $mounted && mkdir -p "$deep/drives/q" &&
  mount -t tmpfs -o size=1m,mode=0700 sedgefold-full "$deep/drives/q" 2>/dev/null; then
  full=true
fi
# Another volume: the shell moves only within one, and a move to another
# drive is the library's copy and delete.
if $mounted && mkdir -p "$deep/drives/v" &&
  mount -t tmpfs -o size=64m,mode=0700 sedgefold-other "$deep/drives/v" 2>/dev/null; then
  other=true
fi
copy_time=$(
  exec 9>"$state/lock"
  flock 9
  make_template
  copy_started=$(date +%s.%N)
  cp -a "$state/template" "$prefix"
  seconds "$copy_started"
)
ln -s "$deep/drives/s" "$prefix/dosdevices/s:"
ln -s "$deep/drives/s" "$prefix/dosdevices/t:"
ln -s "$deep/drives/r" "$prefix/dosdevices/r:"
if $full; then ln -s "$deep/drives/q" "$prefix/dosdevices/q:"; fi
if $other; then ln -s "$deep/drives/v" "$prefix/dosdevices/v:"; fi
# The shell the tests start through Wine for Unix tools (ln, rm, touch,
# mkdir: it finds them on PATH); tests/Jail.h names it C:\unix\sh.
mkdir -p "$prefix/drive_c/unix"
cp "$(readlink -f /bin/sh)" "$prefix/drive_c/unix/sh"

for level in "${levels[@]}"; do
  name=${level#"$jail"}
  printf 'canary of %s\n' "${name:-/}" >"$level/canary.txt"
  mkdir -p "$level/canary/sub/deeper"
  printf 'a\n' >"$level/canary/a.txt"
  printf 'b of %s\n' "${name:-/}" >"$level/canary/sub/b.txt"
  : >"$level/canary/sub/deeper/empty.txt"
done
canaries=$(canary_state)
planted=true
if $verbose; then
  echo "jail.sh: jail $jail ($($mounted && echo "tmpfs in a private mount namespace" || echo "on disk"))," \
    "made in $(seconds "$started") s, the prefix copied in $copy_time s"
fi

export SF_JAIL="$jail" SF_JAIL_PREFIX="$prefix" SF_JAIL_S="$deep/drives/s" \
  SF_JAIL_R="$deep/drives/r" WINEPREFIX="$prefix"
if $full; then export SF_JAIL_Q="$deep/drives/q"; fi
if $other; then export SF_JAIL_V="$deep/drives/v"; fi
# Mark the servers of this build's jails and who cleans up after them, for
# wine-run.sh --stop.
export SF_JAIL_BUILD="$state" SF_JAIL_OWNER=$$
"$@" || status=$?
teardown
