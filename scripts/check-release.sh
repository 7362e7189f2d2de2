#!/usr/bin/env bash
# Checks the release archive once scripts/release.sh has written it: its program is the
# tested build/i686/Velvane.exe byte for byte, and (where 32-bit Wine runs) it starts and
# shows the about window. Runs inside scripts/with-wine-display.sh.
#   scripts/check-release.sh STATUS_FILE WINTOOL    (STATUS_FILE: the release build's exit status, once done)
set -euo pipefail
cd "$(dirname "$0")/.."
status_file=$1 wintool=$2
# Every wait is bounded in seconds (a poll that starts a Wine process takes its own time).
until_seconds() {  # seconds, command...: true once the command succeeds within that time
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.5; done
}
until_seconds 900 test -e "$status_file" || { echo "[release] the release build did not finish within 15 minutes"; exit 1; }
[ "$(cat "$status_file")" = 0 ] || { echo "[release] the release build failed"; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q dist/Velvane-*-win32.zip -d "$unpacked"
cmp "$unpacked/Velvane.exe" build/i686/Velvane.exe
echo "[release] the archive carries the tested program"
[ "$VELVANE_ARCH" = i686 ] || { echo "[release] 32-bit Wine cannot run here: not started"; exit 0; }
"$VELVANE_WINE" "$unpacked/Velvane.exe" &
program=$!
about_window() { about=$("$VELVANE_WINE" "$wintool" list Velvane.FrmLogo | grep " 306 302 718 465 1 " | cut -d" " -f1) && [ -n "$about" ]; }
until_seconds 30 about_window || { echo "[release] the archive's program showed no about window"; kill "$program"; exit 1; }
"$VELVANE_WINE" "$wintool" close "$about"
ended() { ! kill -0 "$program" 2>/dev/null; }
until_seconds 20 ended || { echo "[release] the archive's program did not end"; kill "$program"; exit 1; }
echo "[release] the archive's program starts and shows the about window"
