#!/usr/bin/env bash
# Renders a real failure box of Sedgefold.dll and saves it as
# docs/failure-box.png: sedgefold.exe asks the library to list a folder that
# does not exist, under Wine's X11 driver on a virtual X screen, and the box
# is photographed where it stands. Not part of the test suite.
#
#   bash docs/make-screenshot.sh [BUILD_DIR]     (default: build)
#
# Needs a build (bash scripts/build.sh) and the Debian packages xvfb,
# imagemagick and x11-utils, which it installs when missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exe="$build/bin/sedgefold.exe"
out=docs/failure-box.png

if [ ! -f "$exe" ]; then
  echo "make-screenshot.sh: $exe not found; run bash scripts/build.sh first" >&2
  exit 1
fi
missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb)
command -v import >/dev/null || missing+=(imagemagick)
command -v xwininfo >/dev/null || missing+=(x11-utils)
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
fi

# A prefix of its own: the tests' prefix uses the null driver, which draws
# nothing. This one keeps Wine's default X11 driver.
export WINEPREFIX="$(cd "$build" && pwd)/wine-shot"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree=;mshtml='
export LC_ALL=ru_RU.UTF-8
unset LANGUAGE
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
  export LOCPATH="$build/wine/locale"
  mkdir -p "$LOCPATH"
  [ -d "$LOCPATH/ru_RU.UTF-8" ] || localedef -i ru_RU -f UTF-8 "$LOCPATH/ru_RU.UTF-8"
fi

shot=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$shot"' EXIT

# Runs inside the virtual X server. Wine's virtual desktop draws the box's
# frame and its caption (the module name) itself, on a plain background:
# photograph the desktop once the box is there, then trim the background.
cat >"$shot/inside.sh" <<'EOF'
set -euo pipefail
exe=$1 png=$2 work=$3
wineboot -i >/dev/null 2>&1 || true
wine explorer /desktop=Sedgefold,900x700 "$exe" list 'C:\Торговля\Отчёты\*' all >/dev/null 2>&1 &
for _ in $(seq 1 120); do
  sleep 0.5
  xwininfo -root -tree 2>/dev/null | grep -q 'Wine desktop' || continue
  import -window root "$work/screen.png"
  # Anything drawn on the desktop besides its background: the box has come.
  size=$(convert "$work/screen.png" -crop 900x700+0+0 +repage -trim -format '%wx%h' info:)
  [ "$size" != 900x700 ] && [ "$size" != 1x1 ] && break
done
sleep 2   # let it finish drawing
import -window root "$work/screen.png"
# The desktop sits in the screen's corner: cut it out, trim its background.
convert "$work/screen.png" -crop 900x700+0+0 +repage -trim +repage "$png"
wineserver -k
EOF

xvfb-run -a -s "-screen 0 1280x900x24" bash "$shot/inside.sh" "$exe" "$shot/box.png" "$shot"
cp "$shot/box.png" "$out"
echo "make-screenshot.sh: wrote $out ($(identify -format '%wx%h' "$out"))"
