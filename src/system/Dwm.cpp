#include "system/Dwm.h"

namespace velvane {
namespace {

using Query = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

Query AttributeQuery() {
    static const Query query = [] {
        const HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return dwm ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute"))) : nullptr;
    }();
    return query;
}

}  // namespace

bool Cloaked(HWND hwnd) {
    constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
    DWORD cloaked = 0;
    const Query query = AttributeQuery();
    return query && SUCCEEDED(query(hwnd, kCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

RECT VisibleBounds(HWND hwnd) {
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    RECT bounds{};
    const Query query = AttributeQuery();
    if (query && SUCCEEDED(query(hwnd, kExtendedFrameBounds, &bounds, sizeof bounds)) && !IsRectEmpty(&bounds)) return bounds;
    GetWindowRect(hwnd, &bounds);
    return bounds;
}

}  // namespace velvane
