#!/usr/bin/env bash
# Installs what building, running and testing Velvane needs on Debian or Ubuntu, and fetches
# the image decoders' sources (libspng and libwebp, Debian's source packages) into deps/,
# which git ignores.
# Idempotent: packages and sources already present are not fetched again.
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# A mirror caught mid-sync fails one index now and then; a later try usually finds it whole.
# If every try fails, the lists apt already has may still serve: the install or the source
# fetch after it says plainly if they do not.
apt_update() {
  local try
  for try in 1 2 3; do
    say "apt-get update (try $try of 3)"
    $SUDO apt-get update -q && return 0
    [ "$try" -lt 3 ] && sleep $((try * 15))
  done
  say "apt-get update failed three times; going on with the package lists apt has"
}

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
  apt_update
  updated=1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# libspng and libwebp from the distribution's source packages, built into the program by CMake.
deps="$(cd "$(dirname "$0")/.." && pwd)/deps"
sources_listed=""
# Fetches source package $1 into deps/$1 unless file $2 of it is there already.
fetch_source() {
  local name=$1 check=$2
  [ -f "$deps/$name/$check" ] && return 0
  if [ -z "$sources_listed" ]; then
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
    [ -n "$updated" ] || { apt_update; updated=1; }
    sources_listed=1
  fi
  say "fetching the $name source package into deps/"
  rm -rf "${deps:?}/$name" "$deps/download" && mkdir -p "$deps/download"
  (cd "$deps/download" && apt-get source -q --download-only "$name" >/dev/null 2>&1 &&
     dpkg-source -x --no-check ./"${name}"_*.dsc "$deps/$name" >/dev/null)
  rm -rf "$deps/download"
  [ -f "$deps/$name/$check" ] || { say "could not fetch $name's source package"; exit 1; }
}
fetch_source libspng spng/spng.c
fetch_source libwebp src/demux/anim_decode.c
say "done"
