#include "core/ScaleArithmetic.h"

#include "core/NumberReading.h"

namespace velvane {

std::optional<std::int32_t> ScaledSide(float factor, std::int32_t pixels) {
    return ToInt32(static_cast<double>(factor) * pixels);
}

std::optional<std::uint8_t> AlphaFromOpacity(std::int16_t opacity) {
    const int product = opacity * 255;
    if (product < INT16_MIN || product > INT16_MAX) return std::nullopt;
    const int alpha = product / 100;
    if (alpha < 0 || alpha > 255) return std::nullopt;
    return static_cast<std::uint8_t>(alpha);
}

bool FadeAllowed(std::int32_t width, std::int32_t height) { return !(width > 864 && height > 800); }

std::vector<std::uint8_t> FadeSteps(std::uint8_t constantAlpha) {
    std::vector<std::uint8_t> steps;
    for (int a = 10; a <= constantAlpha; a += 10) steps.push_back(static_cast<std::uint8_t>(a));
    return steps;
}

}  // namespace velvane
