#!/usr/bin/env bash
# Runs a Windows program for ctest; the prefix and display come from with-wine-display.sh.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no Wine prefix or display; run the tests through scripts/with-wine-display.sh" >&2
  exit 1
fi
exec "${VELVANE_WINE:-wine}" "$@"
