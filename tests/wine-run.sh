#!/usr/bin/env bash
# Runs a Windows program of this build under Wine, inside a jail (see
# tests/jail.sh): a throw-away Wine prefix with no Z: drive, from which no
# path leads to the machine's own files.
#
#   tests/wine-run.sh BUILD_DIR PROGRAM [ARGS...]   run PROGRAM (CTest's emulator)
#   tests/wine-run.sh BUILD_DIR --stop              stop the jail's wineserver
#
# Inside a jail (SF_JAIL set, as scripts/test.sh sets it for CTest) every
# program runs in that jail's prefix, with the one Wine server all of them
# share, and --stop stops that server. Called outside a jail, it makes one
# for this run alone and removes it afterwards; --stop then stops the
# servers that the jails of this build tree left behind (a run that was
# killed). PROGRAM and the .exe and .dll files beside it are copied into the
# jail's drive C: first, as Wine cannot reach the build tree; a program
# already in the jail runs where it is, and a name that is no file (cmd,
# notepad) is one of Wine's own programs.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR PROGRAM [ARGS...] | $0 BUILD_DIR --stop" >&2
  exit 2
fi
build=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
quietly() { "$@" </dev/null >/dev/null 2>&1; }

# The ids of the processes with VARIABLE=VALUE in their environment. grep
# opens the files itself, so that a process that ends meanwhile costs no
# error message.
processes_with() {
  local environ
  for environ in $(grep -lzxF -- "$1" /proc/[0-9]*/environ 2>/dev/null); do
    environ=${environ#/proc/}
    echo "${environ%/environ}"
  done
}

if [ -z "${SF_JAIL:-}" ]; then
  if [ "$1" != --stop ]; then
    exec bash "$here/jail.sh" "$build" bash "$here/wine-run.sh" "$build" "$@"
  fi
  # The servers of this build's jails whose jail.sh is gone (killed before
  # it could clean up), found by the marks in their environment: each is
  # stopped from inside its own mount namespace, and what is left of its jail
  # removed.
  state=$(mkdir -p "$build/wine" && cd "$build/wine" && pwd -P)
  variable() { grep -zx "$1=.*" "/proc/$2/environ" 2>/dev/null | tr -d '\0' | cut -d= -f2-; }
  for pid in $(processes_with "SF_JAIL_BUILD=$state"); do
    case "$(cat "/proc/$pid/comm" 2>/dev/null)" in wineserver*) ;; *) continue ;; esac
    owner=$(variable SF_JAIL_OWNER "$pid") jail=$(variable SF_JAIL "$pid")
    prefix=$(variable WINEPREFIX "$pid")
    [ -n "$owner" ] && [ -n "$prefix" ] && ! kill -0 "$owner" 2>/dev/null || continue
    enter=()
    if [ "$(readlink "/proc/$pid/ns/mnt")" != "$(readlink /proc/self/ns/mnt)" ]; then
      enter=(nsenter -t "$pid" -m)
    fi
    folder=$("${enter[@]}" cat "$prefix/wineserver" 2>/dev/null) || folder=
    quietly "${enter[@]}" env WINEPREFIX="$prefix" wineserver -k || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    case "$folder" in wine-?*) [[ "$folder" == */* ]] || rm -rf "${TMPDIR:-/tmp}/$folder" ;; esac
    case "$jail" in */sedgefold-jail.?*) rm -rf "$jail" ;; esac
  done
  exit 0
fi

if [ ! -d "${SF_JAIL_PREFIX:-}/dosdevices" ]; then
  echo "wine-run.sh: SF_JAIL is set, but SF_JAIL_PREFIX names no Wine prefix" >&2
  exit 1
fi
export WINEPREFIX="$SF_JAIL_PREFIX"
program=$1
shift
if [ -f "$program" ]; then program=$(cd "$(dirname "$program")" && pwd -P)/$(basename "$program"); fi
# Wine maps the current folder to a drive, and warns when none holds it.
cd "$WINEPREFIX/drive_c"

exec 9>"$SF_JAIL/lock"
flock 9

if [ "$program" = "--stop" ]; then
  quietly wineserver -k 9>&- || true
  quietly wineserver -w 9>&- || true
  exit 0
fi

# True once the desktop process of this prefix runs.
desktop_running() {
  local pid
  for pid in $(processes_with "WINEPREFIX=$WINEPREFIX"); do
    # cat, not a redirection: a process that ended costs no message.
    cat "/proc/$pid/cmdline" 2>/dev/null | tr '\0' ' ' | grep -q 'explorer.exe /desktop' &&
      return 0
  done
  return 1
}

# Nothing started below may inherit the lock's descriptor: a daemon holding it
# would keep the lock taken for as long as it lives.
#
# A persistent server with its helper processes (services, explorer, ...)
# already started, all detached from our stdio. Otherwise the helpers that the
# first program spawns inherit the caller's pipes and keep them open after the
# program exits, and whoever reads those pipes (CTest's test discovery) waits
# forever. The jail stops it; left alone, it outlives its last program by 15
# minutes. Exit status 2 means a server already runs: one that an earlier
# call started and warmed while holding the lock.
rc=0
quietly wineserver -p900 9>&- || rc=$?
if [ "$rc" -eq 0 ]; then
  # The desktop process (explorer.exe /desktop) quits once no program uses
  # the desktop, and the next program to show a window starts it again with
  # that program's stdio: CTest would then wait on it as long as any other
  # test keeps the desktop busy. A window kept open for the server's lifetime
  # keeps the first desktop process, started here with no stdio of ours. It
  # closes after an hour, so that a server nobody stops still ends.
  (timeout 3600 env LC_ALL=ru_RU.UTF-8 wine notepad.exe </dev/null >/dev/null 2>&1 9>&- &)
  quietly env LC_ALL=ru_RU.UTF-8 wine cmd /c echo warm 9>&- || true
  for _ in $(seq 50); do
    desktop_running && break
    sleep 0.2
  done
elif [ "$rc" -ne 2 ]; then
  echo "wine-run.sh: wineserver -p failed with status $rc" >&2
  exit 1
fi

# No drive may lead out of the jail: no Z: (the Unix root), no letter whose
# folder lies elsewhere. The template has none and Wine has not been seen to
# make one again, yet a program must never run with one.
for drive in "$WINEPREFIX"/dosdevices/?: "$WINEPREFIX"/dosdevices/?::; do
  if [ -L "$drive" ] || [ -e "$drive" ]; then
    case "$(realpath -m "$drive")/" in
      "$SF_JAIL"/?*) [ "${drive##*/}" != z: ] || rm -f "$drive" ;;
      *) rm -f "$drive" ;;
    esac
  fi
done
if [ -e "$WINEPREFIX/dosdevices/z:" ] || [ -L "$WINEPREFIX/dosdevices/z:" ]; then
  echo "wine-run.sh: the jail's prefix has a Z: drive that cannot be removed" >&2
  exit 1
fi

# The program and its neighbours (the DLL the tests load from beside them),
# copied into C:\programs, one folder for each folder of the build tree
# (C:\programs\tests, C:\programs\bin), named after it; replaced by a rename
# when newer, so a program that runs keeps its copy.
case "$program" in
  "$SF_JAIL"/*) ;;
  /*)
    from=$(dirname "$program")
    to="$WINEPREFIX/drive_c/programs/$(basename "$from")"
    if [ -f "$to.from" ] && [ "$(cat "$to.from")" != "$from" ]; then
      to="$to-$(printf %s "$from" | cksum | cut -d' ' -f1)"
    fi
    mkdir -p "$to"
    printf %s "$from" >"$to.from"
    for file in "$from"/*.exe "$from"/*.dll; do
      [ -f "$file" ] || continue
      copy="$to/$(basename "$file")"
      if [ ! -e "$copy" ] || [ "$file" -nt "$copy" ]; then
        cp -p "$file" "$copy.new"
        mv -f "$copy.new" "$copy"
      fi
    done
    program="$to/$(basename "$program")"
    ;;
esac
case "$program" in /*) cd "$(dirname "$program")" ;; esac

exec 9>&-
# SF_WINE_LOCALE runs a program with another ANSI code page (C.UTF-8: 1252).
exec env LC_ALL="${SF_WINE_LOCALE:-ru_RU.UTF-8}" wine "$program" "$@"
