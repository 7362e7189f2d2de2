// Test helper: lists the top-level windows of one class, topmost first in the window
// order, one line each:  hwnd pid left top right bottom visible topmost layered index
// (then 1 when it is the foreground window) where index is the window's place among all top-level windows (0 = front).
// The class "*" lists every window. "wininspect --close HWND" posts WM_CLOSE to that window instead.

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wcscmp(argv[1], L"--close") == 0) {
        HWND target = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[2], nullptr, 10)));
        return PostMessageW(target, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    const wchar_t* wanted = argc > 1 ? argv[1] : L"Velvane.FrmLogo";
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++index) {
        wchar_t name[256] = L"";
        GetClassNameW(w, name, 256);
        if (std::wcscmp(wanted, L"*") != 0 && std::wcscmp(name, wanted) != 0) continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        RECT r{};
        GetWindowRect(w, &r);
        const LONG ex = GetWindowLongW(w, GWL_EXSTYLE);
        std::printf("%lld %lu %ld %ld %ld %ld %d %d %d %d %d\n", static_cast<long long>(reinterpret_cast<INT_PTR>(w)),
                    pid, r.left, r.top, r.right, r.bottom, IsWindowVisible(w) ? 1 : 0,
                    (ex & WS_EX_TOPMOST) ? 1 : 0, (ex & WS_EX_LAYERED) ? 1 : 0, index, GetForegroundWindow() == w ? 1 : 0);
    }
    return 0;
}
