#!/usr/bin/env bash
# Sets everything up and runs every test: the portable logic natively, the program
# file checks, and the Windows tests and end-to-end tests under Wine and Xvfb.
# Input driven through Xvfb into Wine is timing-sensitive, so a failed Wine test gets
# one more run (ctest reports it); a second failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh

echo "[test] portable logic, native"
ctest --test-dir build/native --output-on-failure

echo "[test] fuzzing the package reader (30 s)"
ctest --test-dir build/fuzz --output-on-failure

source scripts/wine-arch.sh
if [ "$VELVANE_ARCH" = i686 ]; then
  echo "[test] the shipped 32-bit program under Wine and Xvfb"
  scripts/with-wine-display.sh ctest --test-dir build/i686 --output-on-failure --repeat until-pass:2
else
  echo "[test] the shipped 32-bit program file (this machine cannot run it)"
  ctest --test-dir build/i686 -L program-file --output-on-failure
  echo "[test] the same sources as a 64-bit program under Wine and Xvfb"
  scripts/with-wine-display.sh ctest --test-dir build/x86_64 --output-on-failure --repeat until-pass:2
fi
