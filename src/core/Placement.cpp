#include "core/Placement.h"

#include <cmath>

#include "core/NumberReading.h"

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

std::int32_t ZoomedEdge(std::int32_t pointer, std::int32_t edge, std::int32_t oldSide, std::int32_t newSide) {
    if (oldSide <= 0) return edge;
    const double offset = static_cast<double>(pointer) - edge;
    return static_cast<std::int32_t>(std::llround(pointer - offset * newSide / oldSide));
}

}  // namespace velvane
