#!/usr/bin/env bash
# Configures and builds: the native portable logic and tests, the shipped Windows programs
# with their tests, 32-bit (i686) and 64-bit (x86_64), and the fuzz targets.
#   scripts/build.sh [native] [i686] [x86_64] [fuzz]    (those it needs when none is named)
# Extra CMake options come from VELVANE_CMAKE_OPTIONS (the benchmark sets -DVELVANE_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(native i686 x86_64 fuzz)
fi
read -r -a options <<< "${VELVANE_CMAKE_OPTIONS:-}"

for t in "${targets[@]}"; do
  printf '[build] %s\n' "$t"
  case "$t" in
    native) cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null ;;
    fuzz) cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELVANE_FUZZ=ON -DCMAKE_C_COMPILER=clang \
            -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
    i686|x86_64) cmake -S . -B "build/$t" -G Ninja -DCMAKE_BUILD_TYPE=Release \
                   -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$t.cmake" "${options[@]}" >/dev/null ;;
    *) echo "unknown build: $t" >&2; exit 2 ;;
  esac
  cmake --build "build/$t"
done
