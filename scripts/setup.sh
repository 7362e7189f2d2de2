#!/usr/bin/env bash
# Installs what building, running and testing Velvane needs on Debian or Ubuntu.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake ninja-build g++ googletest python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth xdotool xclip feh x11-apps x11-utils imagemagick fonts-dejavu-core unzip
  clang libclang-rt-14-dev
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "enabling the i386 architecture (32-bit Wine)"
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  say "all packages present"
  exit 0
fi

say "installing: ${missing[*]}"
say "apt-get update"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
say "done"
