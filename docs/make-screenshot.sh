#!/usr/bin/env bash
# Renders a real failure box of Sedgefold.dll and saves it as
# docs/failure-box.png: sedgefold.exe asks the library to list a folder that
# does not exist, with --boxes (it runs the library quiet otherwise), under
# Wine's X11 driver on a virtual X screen, and the box is photographed where
# it stands. Not part of the test suite.
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

shot=$(mktemp -d)
trap 'rm -rf "$shot"' EXIT

# Runs inside the virtual X server, in a jail (tests/jail.sh) like every
# Windows program of the project. Wine's virtual desktop draws the box's
# frame and its caption (the module name) itself, on a plain background:
# photograph the desktop once the box is there, then trim the background.
cat >"$shot/inside.sh" <<'EOF'
set -euo pipefail
exe=$1 png=$2 work=$3
wine() { env LC_ALL=ru_RU.UTF-8 wine "$@"; }
# The jail's prefix has the tests' null driver, which draws nothing: back to
# Wine's X11 driver, which is chosen when the server starts.
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w
# The program and its DLL on the jail's drive C:.
mkdir -p "$SF_JAIL_PREFIX/drive_c/sedgefold"
cp "$exe" "$(dirname "$exe")/Sedgefold.dll" "$SF_JAIL_PREFIX/drive_c/sedgefold/"
cd "$SF_JAIL_PREFIX/drive_c/sedgefold"
wine explorer /desktop=Sedgefold,900x700 'C:\sedgefold\sedgefold.exe' --boxes list 'C:\Торговля\Отчёты\*' all >/dev/null 2>&1 &
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
EOF

xvfb-run -a -s "-screen 0 1280x900x24" bash tests/jail.sh "$build" \
  bash "$shot/inside.sh" "$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")" "$shot/box.png" "$shot"
cp "$shot/box.png" "$out"
echo "make-screenshot.sh: wrote $out ($(identify -format '%wx%h' "$out"))"
