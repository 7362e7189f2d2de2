#!/usr/bin/env bash
# Runs a command inside a private Wine prefix on a private virtual X display
# (1024x768x24 unless VELVANE_SCREEN says otherwise, 96 dpi), then ends every process of both
# and removes the prefix.
#   scripts/with-wine-display.sh COMMAND [ARGS...]
# Exported to the command: DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, VELVANE_WINE
# (the Wine loader to use) and VELVANE_ARCH (i686, or x86_64 where this machine's
# kernel cannot run 32-bit programs, so 32-bit Wine cannot start).
set -euo pipefail

say() { printf '[wine-display] %s\n' "$*" >&2; }

for tool in Xvfb wine wineserver; do
  command -v "$tool" >/dev/null || { say "missing $tool: run scripts/setup.sh"; exit 1; }
done
source "$(dirname "$0")/wine-arch.sh"

work=$(mktemp -d /tmp/velvane-wine.XXXXXX)
xvfb_pid=""
cleanup() {
  local status=$?
  say "cleaning up"
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$work/prefix" wineserver -w 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT INT TERM

say "starting Xvfb"
Xvfb -displayfd 3 -screen 0 "${VELVANE_SCREEN:-1024x768x24}" -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { say "Xvfb did not start"; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

export WINEPREFIX="$work/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A persistent server keeps process starts cheap for the whole run.
mkdir -p "$WINEPREFIX"
wineserver -p
say "creating the Wine prefix on $DISPLAY for $VELVANE_ARCH programs (about 10 s)"
# A busy machine now and then fails a fresh prefix's first start: it is made once more.
if ! "$VELVANE_WINE" wineboot -i >"$work/wineboot.log" 2>&1; then
  say "wineboot failed; making the prefix again"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX" && wineserver -p
  "$VELVANE_WINE" wineboot -i >"$work/wineboot.log" 2>&1 || { say "wineboot failed"; cat "$work/wineboot.log" >&2; exit 1; }
fi
# A crash must fail a test, not wait for someone to close a dialog.
"$VELVANE_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$VELVANE_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
say "ready"

set +e
"$@"
status=$?
set -e
exit "$status"
