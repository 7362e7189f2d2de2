#!/usr/bin/env bash
# Sets everything up, builds Velvane and starts it with image files as Linux paths and the
# values after them, or with the program's own argument text in one piece:
#   scripts/run.sh ~/logo.png "my shot.png" opacity50 size0.5
#   scripts/run.sh '"Z:\home\me\logo.png" opacity50 size0.5'
# With no argument it shows the about window. Without a display it starts a virtual one on
# a desktop-like background, takes a screenshot once the windows are up, says where it is,
# and ends the program.
set -euo pipefail
# An argument that names a file becomes the quoted Windows path the program reads (Wine
# maps / to Z:); anything else passes as it is.
arguments=""
for argument in "$@"; do
  [ -f "$argument" ] && argument="\"Z:$(realpath "$argument" | tr / '\\')\""
  arguments+="${arguments:+ }$argument"
done
cd "$(dirname "$0")/.."

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
# The picture lays each window over the desktop by its image's alpha, as Windows shows it
# (X alone would show transparent corners black): compose.py gets the image files named.
images=()
opacity=100
for argument in "$@"; do
  [ -f "$argument" ] && images+=("$(realpath "$argument")")
  [[ "$argument" =~ ^opacity([0-9]+)$ ]] && opacity=${BASH_REMATCH[1]}
done
scripts/with-wine-display.sh bash -c '
  convert -size 1024x768 gradient:"#7d9fc0"-"#34506e" "$2" && feh --no-fehbg --bg-fill "$2"
  "$VELVANE_WINE" "$1/tests/e2e/wintool.exe" launch >/dev/null &
  python3 scripts/compose.py "$1" "$2" --opacity "$3" "${@:4}"
' _ "$build" "$shot" "$opacity" "${images[@]}"
echo "[run] screenshot of what appeared: $shot"
