#include "core/SideBySide.h"

#include <algorithm>
#include <cstring>

#include "core/ImageLimits.h"

namespace velvane {

SideBySideLayout LayOutSideBySide(const std::vector<std::pair<std::int32_t, std::int32_t>>& sides) {
    SideBySideLayout layout;
    std::int64_t x = 0, height = 0;
    for (const auto& [w, h] : sides) {
        if (!layout.lefts.empty()) x += kSideBySideGap;
        layout.lefts.push_back(static_cast<std::int32_t>(std::min<std::int64_t>(x, kMaxImageSide)));
        x += std::max(w, 0);
        height = std::max<std::int64_t>(height, h);
    }
    if (!ImageSizeFits(x, height)) return {};
    layout.width = static_cast<std::int32_t>(x);
    layout.height = static_cast<std::int32_t>(height);
    return layout;
}

void PutSideBySide(const Pixels& whole, const SideBySideLayout& layout, const std::vector<ConstPixels>& pictures) {
    for (std::int32_t y = 0; y < whole.height; ++y) std::memset(whole.rows + y * whole.stride, 0, 4 * static_cast<std::size_t>(whole.width));
    for (std::size_t i = 0; i < pictures.size() && i < layout.lefts.size(); ++i) {
        const ConstPixels& p = pictures[i];
        const std::int32_t width = std::min(p.width, whole.width - layout.lefts[i]);
        for (std::int32_t y = 0; y < std::min(p.height, whole.height) && width > 0; ++y)
            std::memcpy(whole.rows + y * whole.stride + 4 * static_cast<std::ptrdiff_t>(layout.lefts[i]), p.rows + y * p.stride,
                        4 * static_cast<std::size_t>(width));
    }
}

}  // namespace velvane
