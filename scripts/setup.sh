#!/usr/bin/env bash
# Installs what building, running and testing Velvane needs on Debian or Ubuntu, and fetches
# the PNG decoder's sources (libspng, Debian's source package) into deps/, which git ignores.
# Idempotent: packages and sources already present are not fetched again.
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
  libz-mingw-w64-dev zlib1g-dev dpkg-dev
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

updated=""
if [ "${#missing[@]}" -eq 0 ]; then
  say "all packages present"
else
  say "installing: ${missing[*]}"
  say "apt-get update"
  $SUDO apt-get update -q
  updated=1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# libspng from the distribution's source package, built into the program by CMake.
deps="$(cd "$(dirname "$0")/.." && pwd)/deps"
if [ ! -f "$deps/libspng/spng/spng.c" ]; then
  lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  if ! grep -qsE '^(deb-src|Types:.*deb-src)' "${lists[@]}"; then
    . /etc/os-release
    uri=$( (grep -hsE '^(URIs:|deb )' "${lists[@]}" || true) | grep -oE 'https?://[^ ]*(debian|ubuntu)/?' | grep -v security | head -n1)
    # The same key as the archive's own entry: apt refuses one source with two.
    signed=$( (grep -lsE "^URIs:.*$uri" "${lists[@]}" || true) | head -n1)
    [ -n "$signed" ] && signed=$(grep -m1 -E '^Signed-By:' "$signed" || true)
    components=main
    [ "${ID:-}" = ubuntu ] && components="main universe"
    say "adding a deb-src entry for $uri $VERSION_CODENAME ($components)"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n%s\n' "$uri" "$VERSION_CODENAME" "$components" "$signed" |
      $SUDO tee /etc/apt/sources.list.d/velvane-src.sources >/dev/null
    updated=""
  fi
  [ -n "$updated" ] || { say "apt-get update"; $SUDO apt-get update -q; }
  say "fetching the libspng source package into deps/"
  rm -rf "$deps/libspng" "$deps/download" && mkdir -p "$deps/download"
  (cd "$deps/download" && apt-get source -q --download-only libspng >/dev/null 2>&1 &&
     dpkg-source -x --no-check ./libspng_*.dsc "$deps/libspng" >/dev/null)
  rm -rf "$deps/download"
  [ -f "$deps/libspng/spng/spng.c" ] || { say "could not fetch libspng's source package"; exit 1; }
fi
say "done"
