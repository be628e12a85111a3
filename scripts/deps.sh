#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, skipping what is
# already there, and makes sure the ru_RU.UTF-8 locale exists (Wine takes the
# ANSI code page 1251 from it).
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix  # the cross compiler (posix thread model)
  wine64 wine                 # 64-bit Wine and /usr/bin/wine
  cmake ninja-build
  googletest                  # sources, cross-built by the tests
  locales                     # ru_RU definitions for localedef
  zip unzip                   # the release package and its test
  python3                     # the MQL5 kit's translation (tests/kit) and the include check
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
      grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "deps.sh: need root for: $*" >&2
    return 1
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps.sh: installing ${missing[*]}"
  # apt and debconf talk on standard error even when all goes well; their
  # words are kept in a log and shown only when the install fails.
  log=$(mktemp)
  if ! { as_root apt-get update -qq &&
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
      -o Dpkg::Use-Pty=0 "${missing[@]}"; } </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "deps.sh: installing ${missing[*]} failed" >&2
    exit 1
  fi
  rm -f "$log"
fi

if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
  echo "deps.sh: generating the ru_RU.UTF-8 locale"
  # Without root, tests/wine-run.sh builds a private copy in the build tree.
  as_root localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 ||
    echo "deps.sh: ru_RU.UTF-8 not generated system-wide; a private copy will be used" >&2
fi
