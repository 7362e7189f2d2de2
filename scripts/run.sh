#!/usr/bin/env bash
# Sets everything up, builds Velvane and starts it with the given argument text, e.g.
#   scripts/run.sh '"Z:\home\me\logo.png" opacity50 size0.5'
# With no argument it shows the about window. Without a display it starts a virtual
# one, takes a screenshot after a few seconds, says where it is, and ends the program.
set -euo pipefail
cd "$(dirname "$0")/.."
arguments="${1:-}"

scripts/setup.sh
source scripts/wine-arch.sh
scripts/build.sh "$VELVANE_ARCH"

build="$PWD/build/$VELVANE_ARCH"
exe_windows="Z:$(echo "$build/Velvane.exe" | tr / '\\')"
export VELVANE_CMDLINE="\"$exe_windows\" $arguments"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="$PWD/build/wineprefix-$VELVANE_ARCH"
  [ -d "$WINEPREFIX" ] || { echo "[run] creating a Wine prefix (about 10 s)"; "$VELVANE_WINE" wineboot -i >/dev/null 2>&1; }
  echo "[run] starting Velvane on $DISPLAY: $arguments"
  exec "$VELVANE_WINE" "$build/tests/e2e/wintool.exe" launch
fi

shot="$PWD/build/screenshot.png"
echo "[run] no display: starting a virtual one"
scripts/with-wine-display.sh bash -c '
  "$VELVANE_WINE" "$1/tests/e2e/wintool.exe" launch >/dev/null &
  sleep 5
  xwd -root -silent | convert xwd:- "$2"
' _ "$build" "$shot"
echo "[run] screenshot of what appeared: $shot"
