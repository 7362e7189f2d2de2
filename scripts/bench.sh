#!/usr/bin/env bash
# Measures start-up, rendering, re-rendering and memory under Wine and Xvfb against native
# yardsticks (feh, libpng, a bare Win32 window) in the same run. A benchmark, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for p in feh libx11-dev libxtst-dev libpng-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  echo "[bench] installing:$missing"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi
source scripts/wine-arch.sh
VELVANE_CMAKE_OPTIONS=-DVELVANE_BENCH=ON scripts/build.sh "$VELVANE_ARCH"
native=build/bench-native
mkdir -p "$native"
cc -O2 -o "$native/xwait" bench/native/xwait.c -lX11 -lXtst
cc -O2 -o "$native/pngdecode" bench/native/pngdecode.c -lpng
c++ -O3 -std=c++17 -Isrc -o "$native/resamplebench" bench/resamplebench.cpp src/core/Resample.cpp -pthread
scripts/with-wine-display.sh python3 bench/run.py "$PWD/build/$VELVANE_ARCH" "$PWD/$native"
VELVANE_SCREEN=1920x1080x24 scripts/with-wine-display.sh python3 bench/capture.py "$PWD/build/$VELVANE_ARCH" "$PWD/$native"
VELVANE_SCREEN=1920x1080x24 scripts/with-wine-display.sh python3 bench/waits.py "$PWD/build/$VELVANE_ARCH" "$PWD/$native"
