#!/usr/bin/env bash
# Regenerates the README's screenshots in docs/ from the real program under Wine and Xvfb:
# the about window, two images (one at 50 % opacity over the other) and the popup menu.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-arch.sh
scripts/build.sh "$VELVANE_ARCH"
mkdir -p docs
scripts/with-wine-display.sh python3 scripts/screenshots.py "$PWD/build/$VELVANE_ARCH" "$PWD/docs"
