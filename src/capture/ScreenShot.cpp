#include "capture/ScreenShot.h"

#include <cstring>

#include "render/TopDownBitmap.h"

namespace velvane::capture {

std::optional<ScreenShot> ScreenShot::Take() {
    ScreenShot shot;
    const std::int32_t left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    shot.screen_ = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (shot.screen_.Empty()) return std::nullopt;
    void* bits = nullptr;
    shot.bitmap_ = TopDownBitmap(shot.screen_.Width(), shot.screen_.Height(), bits);
    const ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(CreateCompatibleDC(screen.get()));
    if (!shot.bitmap_ || !memory) return std::nullopt;
    shot.bits_ = static_cast<std::uint8_t*>(bits);
    const ScopedSelection selected(memory.get(), shot.bitmap_.get());
    // CAPTUREBLT takes layered windows too: what shows is what is taken, other pins included.
    if (!BitBlt(memory.get(), 0, 0, shot.screen_.Width(), shot.screen_.Height(), screen.get(), left, top, SRCCOPY | CAPTUREBLT))
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

}  // namespace velvane::capture
