#!/usr/bin/env bash
# Builds the shipped programs, 32-bit and 64-bit, from the committed sources (a clean tree,
# whatever the working copy holds) and writes dist/Velvane-<version>-win32.zip and
# dist/Velvane-<version>-win64.zip, each with its Velvane.exe, README.txt (README.md's
# parts for users as plain text), LICENSE and THIRD-PARTY.txt (the licences of libspng, zlib
# and libwebp, which the program carries, from their packages), with fixed times and order,
# so the same commit gives the same bytes.
# Prints each archive's path and SHA-256.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/.*VALUE "FileVersion", "\([0-9.]*\)".*/\1/p' src/resources/Velvane.rc)
[ -n "$version" ] || { echo "[release] no FileVersion in src/resources/Velvane.rc" >&2; exit 1; }
work=build/release
rm -rf "$work" && mkdir -p "$work/tree" dist
echo "[release] Velvane $version from commit $(git rev-parse --short HEAD)"
git archive HEAD | tar -x -C "$work/tree"
zlib_copyright=/usr/share/doc/libz-mingw-w64-dev/copyright
[ -f "$zlib_copyright" ] || { echo "[release] no $zlib_copyright: run scripts/setup.sh" >&2; exit 1; }
{
  printf 'Velvane.exe carries three libraries, under these licences.\n\n'
  printf '== libspng %s (Debian source package libspng) ==\n\n' "$(sed -n 's/^libspng (\([^)]*\)).*/\1/p;q' deps/libspng/debian/changelog)"
  cat deps/libspng/LICENSE
  printf '\n== zlib (Debian package libz-mingw-w64-dev) ==\n\n'
  cat "$zlib_copyright"
  printf '\n== libwebp %s (Debian source package libwebp) ==\n\n' "$(sed -n 's/^libwebp (\([^)]*\)).*/\1/p;q' deps/libwebp/debian/changelog)"
  cat deps/libwebp/COPYING
  printf '\n'
  cat deps/libwebp/PATENTS
} > "$work/THIRD-PARTY.txt"
python3 "$work/tree/scripts/make-readme-txt.py" --version "$version" "$work/tree/README.md" "$work/README.txt"
for build in i686:win32 x86_64:win64; do
  arch=${build%:*} kind=${build#*:}
  cmake -S "$work/tree" -B "$work/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DVELVANE_SPNG_DIR="$PWD/deps/libspng" -DVELVANE_WEBP_DIR="$PWD/deps/libwebp" \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" >/dev/null
  cmake --build "$work/$arch" --target Velvane | tail -n 1
  [ "$arch" = x86_64 ] || scripts/check-unwind.py "$work/$arch/Velvane.exe"
  archive="dist/Velvane-$version-$kind.zip"
  python3 - "$archive" "$work/$arch/Velvane.exe" "$work/README.txt" "$work/tree/LICENSE" "$work/THIRD-PARTY.txt" <<'PY'
import sys, zipfile
archive, *files = sys.argv[1:]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for path, name in zip(files, ("Velvane.exe", "README.txt", "LICENSE", "THIRD-PARTY.txt")):
        entry = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))  # fixed, so the bytes depend on the contents only
        entry.external_attr, entry.compress_type = 0o644 << 16, zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(entry, f.read(), compresslevel=9)
PY
  echo "[release] $archive"
  sha256sum "$archive"
done
