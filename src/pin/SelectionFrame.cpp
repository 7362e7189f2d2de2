#include "pin/SelectionFrame.h"

#include <cstring>
#include <vector>

#include "system/LayeredPush.h"
#include "system/TopDownBitmap.h"

namespace velvane {
namespace {

constexpr wchar_t kFrameClass[] = L"Velvane.SelectionFrame";

bool RegisterFrameClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kFrameClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

SelectionFrame::SelectionFrame(HWND pin) : pin_(pin) {
    if (!RegisterFrameClass()) return;
    // Owned by the pin: it stays above it, top-most with it, and goes with it.
    hwnd_.reset(CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kFrameClass, L"", WS_POPUP, 0, 0, 0,
                                0, pin, nullptr, GetModuleHandleW(nullptr), nullptr));
    Follow();
}

void SelectionFrame::Follow() {
    if (!hwnd_) return;
    if (!IsWindowVisible(pin_)) {
        ShowWindow(hwnd_.get(), SW_HIDE);
        return;
    }
    RECT pin{};
    GetWindowRect(pin_, &pin);
    POINT at{pin.left - kWidth, pin.top - kWidth};
    SIZE size{pin.right - pin.left + 2 * kWidth, pin.bottom - pin.top + 2 * kWidth};
    if (size.cx != drawn_.cx || size.cy != drawn_.cy) {
        void* bits = nullptr;
        const ScopedBitmap ring = TopDownBitmap(size.cx, size.cy, bits);
        const ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
        if (!ring || !dc) return;
        const COLORREF colour = GetSysColor(COLOR_HIGHLIGHT);
        const std::uint32_t pixel = 0xFF000000u | static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
        auto* rows = static_cast<std::uint32_t*>(bits);
        for (LONG y = 0; y < size.cy; ++y)
            for (LONG x = 0; x < size.cx; ++x) {
                const bool edge = x < kWidth || y < kWidth || x >= size.cx - kWidth || y >= size.cy - kWidth;
                rows[y * size.cx + x] = edge ? pixel : 0;  // inside: nothing, the picture shows through
            }
        const ScopedSelection selected(dc.get(), ring.get());
        if (!PushLayered(hwnd_.get(), dc.get(), size, &at, 255)) return;
        drawn_ = size;
    } else {
        SetWindowPos(hwnd_.get(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!IsWindowVisible(hwnd_.get())) ShowWindow(hwnd_.get(), SW_SHOWNA);
}

}  // namespace velvane
