#!/usr/bin/env bash
# Runs a Windows program of this build under the build tree's own Wine prefix.
#
#   tests/wine-run.sh BUILD_DIR PROGRAM [ARGS...]   run PROGRAM (CTest's emulator)
#   tests/wine-run.sh BUILD_DIR --stop              stop this prefix's wineserver
#
# Everything Wine keeps lives under BUILD_DIR/wine, so `rm -rf build` is a full
# reset and nothing in $HOME is touched. Every program runs with the Russian
# locale, which gives Wine the ANSI code page 1251 that the terminal's users have.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR PROGRAM [ARGS...] | $0 BUILD_DIR --stop" >&2
  exit 2
fi
mkdir -p "$1/wine"
state=$(cd "$1/wine" && pwd)
shift

export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko: the prefix boots in seconds and needs no download.
export WINEDLLOVERRIDES='mscoree=;mshtml='

exec 9>"$state/lock"
flock 9

if [ "$1" = "--stop" ]; then
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
    wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
  fi
  exit 0
fi

# Without the Unix locale Wine falls back to code page 1252 and cannot store
# Cyrillic file names; a machine that lacks it gets a private copy.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
  export LOCPATH="$state/locale"
  if [ ! -d "$LOCPATH/ru_RU.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ru_RU -f UTF-8 "$LOCPATH/ru_RU.UTF-8" >/dev/null 2>&1 ||
      [ -d "$LOCPATH/ru_RU.UTF-8" ]
  fi
fi
unset LANGUAGE
# Set for Wine only: this shell would warn if the locale is private.
wine() { env LC_ALL=ru_RU.UTF-8 wine "$@"; }

# True once the desktop process of this prefix runs.
desktop_running() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    tr '\0' '\n' 2>/dev/null <"$environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    tr '\0' ' ' 2>/dev/null <"${environ%/environ}/cmdline" | grep -q 'explorer.exe /desktop' &&
      return 0
  done
  return 1
}

# Nothing started below may inherit the lock's descriptor: a daemon holding it
# would keep the lock taken for as long as it lives.
if [ ! -f "$state/prefix.ready" ]; then
  wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
  rm -rf "$WINEPREFIX"
  wine wineboot -i </dev/null >"$state/wineboot.log" 2>&1 9>&-
  # The null driver turns message boxes into real windows without an X server.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
    </dev/null >>"$state/wineboot.log" 2>&1 9>&-
  # The driver is chosen when the server starts: restart it once.
  wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
  wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
  touch "$state/prefix.ready"
fi

# A persistent server with its helper processes (services, explorer, ...)
# already started, all detached from our stdio. Otherwise the helpers that the
# first program spawns inherit the caller's pipes and keep them open after the
# program exits, and whoever reads those pipes (CTest's test discovery) waits
# forever. The server outlives its last program by 15 minutes, so one left
# behind by a deleted build tree goes away by itself. Exit status 2 means a
# server already runs: one that an earlier call started and warmed while
# holding the lock.
rc=0
wineserver -p900 </dev/null >/dev/null 2>&1 9>&- || rc=$?
if [ "$rc" -eq 0 ]; then
  # The desktop process (explorer.exe /desktop) quits once no program uses
  # the desktop, and the next program to show a window starts it again with
  # that program's stdio: CTest would then wait on it as long as any other
  # test keeps the desktop busy. A window kept open for the server's lifetime
  # keeps the first desktop process, started here with no stdio of ours. It
  # closes after an hour, so that a server nobody stops still ends.
  (timeout 3600 env LC_ALL=ru_RU.UTF-8 wine notepad.exe </dev/null >/dev/null 2>&1 9>&- &)
  wine cmd /c echo warm </dev/null >/dev/null 2>&1 9>&- || true
  for _ in $(seq 50); do
    desktop_running && break
    sleep 0.2
  done
elif [ "$rc" -ne 2 ]; then
  echo "wine-run.sh: wineserver -p failed with status $rc" >&2
  exit 1
fi

exec 9>&-
exec env LC_ALL=ru_RU.UTF-8 wine "$@"
