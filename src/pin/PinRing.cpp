#include "pin/PinRing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "system/LayeredPush.h"
#include "system/TopDownBitmap.h"

namespace velvane {
namespace {

LRESULT CALLBACK RingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT all{};
        GetClientRect(hwnd, &all);
        const ScopedBrush brush(CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))));
        if (brush) FillRect(reinterpret_cast<HDC>(wParam), &all, brush.get());
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterRingClass(const wchar_t* className) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

PinRing::PinRing(HWND pin, const wchar_t* className, RingLook look, int gap) : pin_(pin), look_(look), gap_(gap) {
    if (!RegisterRingClass(className)) return;
    // Four strips rather than one window with a clear inside: where per-pixel alpha is not
    // composited (X without a compositor), a clear inside would hide the picture. Owned by the pin,
    // they stay above it, top-most with it, and go with it. A shadow's strips are layered and
    // transparent, the one way clicks pass through to any program beneath; a solid strip is plain.
    const DWORD style = WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (look.shadow ? WS_EX_LAYERED : 0);
    for (ScopedWindow& side : sides_) {
        side.reset(CreateWindowExW(style, className, L"", WS_POPUP, 0, 0, 0, 0, pin, nullptr, GetModuleHandleW(nullptr), nullptr));
        if (side) SetWindowLongPtrW(side.get(), GWLP_USERDATA, static_cast<LONG_PTR>(look.colour));
    }
    Follow();
}

void PinRing::Gap(int gap) {
    gap_ = gap;
    Follow();
}

void PinRing::Follow() {
    const bool shown = IsWindowVisible(pin_) != FALSE;
    RECT pin{};
    GetWindowRect(pin_, &pin);
    InflateRect(&pin, gap_, gap_);
    const int width = look_.width;
    const LONG w = pin.right - pin.left, h = pin.bottom - pin.top;
    const RECT places[4] = {{pin.left - width, pin.top - width, w + 2 * width, width},
                            {pin.left - width, pin.bottom, w + 2 * width, width},
                            {pin.left - width, pin.top, width, h},
                            {pin.right, pin.top, width, h}};  // left, top, width, height
    for (std::size_t i = 0; i < sides_.size(); ++i) {
        if (!sides_[i]) continue;
        const RECT& r = places[i];
        if (look_.shadow && shown && (drawn_[i].cx != r.right || drawn_[i].cy != r.bottom)) PushShadow(i, r);
        SetWindowPos(sides_[i].get(), nullptr, r.left, r.top, r.right, r.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

void PinRing::PushShadow(std::size_t side, const RECT& place) {
    const LONG w = std::max<LONG>(place.right, 1), h = std::max<LONG>(place.bottom, 1);
    void* bits = nullptr;
    ScopedBitmap bitmap = TopDownBitmap(w, h, bits);
    const ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return;
    // Each pixel by its distance from the pin (the ring's inside): round at the corners.
    RECT pin{};
    GetWindowRect(pin_, &pin);
    InflateRect(&pin, gap_, gap_);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const double px = place.left + x + 0.5, py = place.top + y + 0.5;
            const double dx = std::max({pin.left - px, 0.0, px - pin.right}), dy = std::max({pin.top - py, 0.0, py - pin.bottom});
            const double fade = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy) / look_.width);
            // Black, premultiplied: only the alpha byte; half-transparent at the pin.
            pixels[y * w + x] = static_cast<std::uint32_t>(std::lround(128 * fade * fade)) << 24;
        }
    }
    const ScopedSelection selected(dc.get(), bitmap.get());
    POINT at{place.left, place.top};
    if (PushLayered(sides_[side].get(), dc.get(), {w, h}, &at, 255)) drawn_[side] = {place.right, place.bottom};
}

}  // namespace velvane
