# Sourced: picks the Wine loader and the Windows architecture this machine can run.
# 32-bit Wine needs a kernel that executes 32-bit Linux programs; some virtual machines'
# kernels do not, and there only 64-bit Windows programs run (through wine64).
# VELVANE_WANT_ARCH=x86_64 asks for 64-bit Wine and programs where both would run.
if [ "${VELVANE_WANT_ARCH:-}" != x86_64 ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export VELVANE_WINE=/usr/lib/wine/wine VELVANE_ARCH=i686
elif [ -x /usr/lib/wine/wine64 ]; then
  export VELVANE_WINE=/usr/lib/wine/wine64 VELVANE_ARCH=x86_64
  export WINELOADER=/usr/lib/wine/wine64
  [ "${VELVANE_WANT_ARCH:-}" = x86_64 ] ||
    printf '[wine] this machine cannot run 32-bit programs: using 64-bit Wine and the x86_64 build\n' >&2
else
  export VELVANE_WINE=wine VELVANE_ARCH=i686
fi
