#!/usr/bin/env bash
# Measures start-up and rendering under Wine and Xvfb (a benchmark, not a test).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-arch.sh
scripts/build.sh "$VELVANE_ARCH"
scripts/with-wine-display.sh python3 bench/run.py "$PWD/build/$VELVANE_ARCH"
