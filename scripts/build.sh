#!/usr/bin/env bash
# Configures and builds: the native portable logic and tests, the shipped 32-bit
# Windows program (i686) and the 64-bit Windows build (x86_64).
#   scripts/build.sh [native] [i686] [x86_64] [fuzz]    (all four when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(native i686 x86_64 fuzz)

for t in "${targets[@]}"; do
  printf '[build] %s\n' "$t"
  case "$t" in
    native) cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null ;;
    fuzz) cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELVANE_FUZZ=ON \
            -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
    i686|x86_64) cmake -S . -B "build/$t" -G Ninja -DCMAKE_BUILD_TYPE=Release \
                   -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$t.cmake" >/dev/null ;;
    *) echo "unknown build: $t" >&2; exit 2 ;;
  esac
  cmake --build "build/$t"
done
