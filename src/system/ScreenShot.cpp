#include "system/ScreenShot.h"

#include <cstring>
#include <cwchar>

#include "system/Dwm.h"
#include "system/TopDownBitmap.h"

namespace velvane::capture {
namespace {

bool IsPointedAt(HWND w) {
    if (!IsWindowVisible(w) || IsIconic(w) || Cloaked(w)) return false;
    const LONG style = GetWindowLongW(w, GWL_EXSTYLE);
    if (style & WS_EX_TRANSPARENT) return false;
    BYTE alpha = 255;
    DWORD flags = 0;
    if ((style & WS_EX_LAYERED) && GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) && alpha == 0) return false;
    wchar_t name[16] = L"";
    GetClassNameW(w, name, 16);
    return std::wcscmp(name, L"Progman") != 0 && std::wcscmp(name, L"WorkerW") != 0;  // the shell's desktop
}

}  // namespace

std::optional<ScreenShot> ScreenShot::Take() {
    const std::int32_t left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const ScopedWindowDC screen(nullptr);
    return Take(screen.get(), {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

std::optional<ScreenShot> ScreenShot::Take(HDC from, const PixelRect& screen) {
    ScreenShot shot;
    shot.screen_ = screen;
    if (shot.screen_.Empty()) return std::nullopt;
    void* bits = nullptr;
    shot.bitmap_ = TopDownBitmap(shot.screen_.Width(), shot.screen_.Height(), bits);
    ScopedMemoryDC memory(CreateCompatibleDC(from));
    if (!shot.bitmap_ || !memory) return std::nullopt;
    shot.bits_ = static_cast<std::uint8_t*>(bits);
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        const RECT r = VisibleBounds(w);
        const PixelRect shows = OnScreen({r.left, r.top, r.right, r.bottom}, shot.screen_);
        if (!shows.Empty() && IsPointedAt(w)) shot.windows_.push_back(shows);
    }
    const ScopedSelection selected(memory.get(), shot.bitmap_.get());
    // CAPTUREBLT takes layered windows too: what shows is what is taken, other pins included.
    if (!BitBlt(memory.get(), 0, 0, shot.screen_.Width(), shot.screen_.Height(), from, screen.left, screen.top, SRCCOPY | CAPTUREBLT))
        return std::nullopt;
    GdiFlush();
    return shot;
}

std::vector<std::uint8_t> ScreenShot::Pixels(const PixelRect& part) const {
    const PixelRect inside = OnScreen(part, screen_);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(inside.Width()), stride = 4 * static_cast<std::size_t>(screen_.Width());
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(inside.Height()));
    for (std::int32_t y = 0; y < inside.Height(); ++y)
        std::memcpy(&rows[rowBytes * y], bits_ + stride * (inside.top - screen_.top + y) + 4 * static_cast<std::size_t>(inside.left - screen_.left), rowBytes);
    // The screen's fourth byte means nothing: every pixel taken is wholly opaque.
    for (std::size_t i = 3; i < rows.size(); i += 4) rows[i] = 255;
    return rows;
}

PixelRect ScreenShot::WindowAt(Pixel at) const {
    for (const PixelRect& w : windows_)
        if (at.x >= w.left && at.x < w.right && at.y >= w.top && at.y < w.bottom) return w;
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromPoint({at.x, at.y}, MONITOR_DEFAULTTONEAREST), &monitor);
    return OnScreen({monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right, monitor.rcMonitor.bottom}, screen_);
}

}  // namespace velvane::capture
