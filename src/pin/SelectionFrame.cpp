#include "pin/SelectionFrame.h"

namespace velvane {
namespace {

constexpr wchar_t kFrameClass[] = L"Velvane.SelectionFrame";

bool RegisterFrameClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = GetSysColorBrush(COLOR_HIGHLIGHT);
        wc.lpszClassName = kFrameClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

SelectionFrame::SelectionFrame(HWND pin) : pin_(pin) {
    if (!RegisterFrameClass()) return;
    // Four opaque strips rather than one window with a clear inside: where per-pixel alpha is not
    // composited (X without a compositor), a clear inside would hide the picture. Owned by the pin,
    // they stay above it, top-most with it, and go with it; clicks pass through them.
    for (ScopedWindow& side : sides_)
        side.reset(CreateWindowExW(WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kFrameClass, L"", WS_POPUP, 0, 0, 0, 0, pin,
                                   nullptr, GetModuleHandleW(nullptr), nullptr));
    Follow();
}

void SelectionFrame::Follow() {
    const bool shown = IsWindowVisible(pin_) != FALSE;
    RECT pin{};
    GetWindowRect(pin_, &pin);
    const LONG w = pin.right - pin.left, h = pin.bottom - pin.top;
    const RECT places[4] = {{pin.left - kWidth, pin.top - kWidth, w + 2 * kWidth, kWidth},
                            {pin.left - kWidth, pin.bottom, w + 2 * kWidth, kWidth},
                            {pin.left - kWidth, pin.top, kWidth, h},
                            {pin.right, pin.top, kWidth, h}};  // left, top, width, height
    for (std::size_t i = 0; i < sides_.size(); ++i) {
        if (!sides_[i]) continue;
        const RECT& r = places[i];
        SetWindowPos(sides_[i].get(), nullptr, r.left, r.top, r.right, r.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

}  // namespace velvane
