#include "windows/Placement.h"

#include "startup/NumberReading.h"

namespace velvane {

std::optional<std::int32_t> CentredEdgeTwips(std::int32_t screenPixels, double twipsPerPixel, float sizeFactor,
                                             std::int32_t imagePixels) {
    const double free = screenPixels * twipsPerPixel - static_cast<double>(sizeFactor) * imagePixels * twipsPerPixel;
    auto rounded = ToInt32(free);
    if (!rounded) return std::nullopt;
    return *rounded / 2;
}

std::optional<std::int32_t> TwipsToPixels(double twips, double twipsPerPixel) {
    return ToInt32(twips / twipsPerPixel);
}

}  // namespace velvane
