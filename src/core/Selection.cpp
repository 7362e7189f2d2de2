#include "core/Selection.h"

#include <algorithm>
#include <cstdlib>

namespace velvane::capture {

PixelRect DraggedRect(Pixel from, Pixel to, const PixelRect& screen) {
    const PixelRect dragged{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1, std::max(from.y, to.y) + 1};
    return OnScreen(dragged, screen);
}

bool IsClick(Pixel from, Pixel to) {
    // Within the system's default drag rectangle (four pixels across): a hand that shakes still clicks.
    constexpr std::int32_t kSlack = 2;
    return std::abs(static_cast<long long>(to.x) - from.x) <= kSlack && std::abs(static_cast<long long>(to.y) - from.y) <= kSlack;
}

PixelRect OnScreen(const PixelRect& bounds, const PixelRect& screen) {
    const PixelRect clipped{std::max(bounds.left, screen.left), std::max(bounds.top, screen.top),
                            std::min(bounds.right, screen.right), std::min(bounds.bottom, screen.bottom)};
    return clipped.Empty() ? PixelRect{} : clipped;
}

Pixel LabelPlace(const PixelRect& selection, std::int32_t labelWidth, std::int32_t labelHeight, const PixelRect& screen) {
    constexpr std::int32_t kGap = 4;
    std::int32_t y = selection.bottom + kGap;
    if (y + labelHeight > screen.bottom) y = selection.top - kGap - labelHeight;
    if (y < screen.top) y = selection.bottom - kGap - labelHeight;
    const std::int32_t x = std::clamp(selection.left, screen.left, std::max(screen.left, screen.right - labelWidth));
    return {x, std::clamp(y, screen.top, std::max(screen.top, screen.bottom - labelHeight))};
}

}  // namespace velvane::capture
