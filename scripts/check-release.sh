#!/usr/bin/env bash
# Checks the release archive once scripts/release.sh has written it: its program is the
# tested build/i686/Velvane.exe byte for byte, and (where 32-bit Wine runs) it starts and
# shows the about window. Runs inside scripts/with-wine-display.sh.
#   scripts/check-release.sh STATUS_FILE WINTOOL    (STATUS_FILE: the release build's exit status, once done)
set -euo pipefail
cd "$(dirname "$0")/.."
status_file=$1 wintool=$2
until [ -e "$status_file" ]; do sleep 1; done
[ "$(cat "$status_file")" = 0 ] || { echo "[release] the release build failed"; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q dist/Velvane-*-win32.zip -d "$unpacked"
cmp "$unpacked/Velvane.exe" build/i686/Velvane.exe
echo "[release] the archive carries the tested program"
[ "$VELVANE_ARCH" = i686 ] || { echo "[release] 32-bit Wine cannot run here: not started"; exit 0; }
"$VELVANE_WINE" "$unpacked/Velvane.exe" &
program=$!
about=""
for _ in $(seq 60); do
  about=$("$VELVANE_WINE" "$wintool" list Velvane.FrmLogo | grep " 306 302 718 465 1 " | cut -d" " -f1 || true)
  [ -n "$about" ] && break
  sleep 0.5
done
[ -n "$about" ] || { echo "[release] the archive's program showed no about window"; kill "$program"; exit 1; }
"$VELVANE_WINE" "$wintool" close "$about"
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$program" 2>/dev/null; then echo "[release] the archive's program did not end"; kill "$program"; exit 1; fi
echo "[release] the archive's program starts and shows the about window"
