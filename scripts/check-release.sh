#!/usr/bin/env bash
# Checks the release archives once scripts/release.sh has written them: each carries the
# tested program of its kind byte for byte (build/i686 in win32, build/x86_64 in win64), the
# licences of what it links, and a program that imports only Windows' own DLLs (the 32-bit
# one large-address aware); the program this machine's Wine runs starts and shows the about
# window. Runs inside scripts/with-wine-display.sh.
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
fail() { echo "[release] $*"; exit 1; }
until_seconds 900 test -e "$status_file" || fail "the release build did not finish within 15 minutes"
[ "$(cat "$status_file")" = 0 ] || fail "the release build failed"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
system_dlls='^(KERNEL32|USER32|GDI32|gdiplus|COMCTL32|COMDLG32|ole32|SHELL32|ADVAPI32|WINMM|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
for build in i686:win32:i686 x86_64:win64:x86_64; do
  IFS=: read -r arch kind tools <<< "$build"
  mkdir -p "$unpacked/$kind"
  unzip -q dist/Velvane-*-"$kind".zip -d "$unpacked/$kind"
  program="$unpacked/$kind/Velvane.exe"
  cmp "$program" "build/$arch/Velvane.exe" || fail "the $kind archive does not carry the tested program"
  for file in README.txt LICENSE THIRD-PARTY.txt; do
    [ -s "$unpacked/$kind/$file" ] || fail "the $kind archive lacks $file"
  done
  grep -q "libspng" "$unpacked/$kind/THIRD-PARTY.txt" && grep -q "zlib" "$unpacked/$kind/THIRD-PARTY.txt" &&
    grep -q "libwebp" "$unpacked/$kind/THIRD-PARTY.txt" ||
    fail "THIRD-PARTY.txt in the $kind archive lacks a licence"
  headers=$("${tools}-w64-mingw32-objdump" -p "$program")
  foreign=$(sed -n 's/^\tDLL Name: //p' <<< "$headers" | grep -viE "$system_dlls" || true)
  [ -z "$foreign" ] || fail "the $kind program imports $foreign"
  if [ "$arch" = i686 ]; then
    grep -q "large address aware" <<< "$headers" || fail "the 32-bit program is not large-address aware"
  fi
  echo "[release] the $kind archive carries the tested program, its licences and only system imports"
done
program="$unpacked/$([ "$VELVANE_ARCH" = i686 ] && echo win32 || echo win64)/Velvane.exe"
# Only a window that appears now counts: a copy the journeys before left ending may still show one.
abouts() { "$VELVANE_WINE" "$wintool" list Velvane.FrmLogo | grep " 306 290 718 477 1 " | cut -d" " -f1 || true; }
before=$(abouts)
"$VELVANE_WINE" "$program" &
pid=$!
about_window() { about=$(abouts | grep -vxF -e "${before:-none}" | head -n1) && [ -n "$about" ]; }
until_seconds 30 about_window || { kill "$pid"; fail "the archive's $VELVANE_ARCH program showed no about window"; }
"$VELVANE_WINE" "$wintool" close "$about" || { kill "$pid"; fail "the about window was gone before it could be closed"; }
ended() { ! kill -0 "$pid" 2>/dev/null; }
until_seconds 20 ended || { kill "$pid"; fail "the archive's program did not end"; }
echo "[release] the archive's $VELVANE_ARCH program starts and shows the about window"
