#pragma once
// Size, alpha and fade arithmetic of the renderer, kept apart from GDI so it is testable.

#include <cstdint>
#include <optional>
#include <vector>

namespace velvane {

// An image side scaled by the factor (the float widened to double), ties to even.
std::optional<std::int32_t> ScaledSide(float factor, std::int32_t pixels);

// The constant alpha of an opacity percentage: opacity * 255 \ 100. Empty when the
// percentage gives no alpha byte (negative, or a product beyond 16 bits).
std::optional<std::uint8_t> AlphaFromOpacity(std::int16_t opacity);

// Images this large after scaling would make the fade too slow to be worth it.
bool FadeAllowed(std::int32_t width, std::int32_t height);

// The intermediate alphas of the fade-in: 10, 20, ... up to the constant alpha.
std::vector<std::uint8_t> FadeSteps(std::uint8_t constantAlpha);

}  // namespace velvane
