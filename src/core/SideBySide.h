#pragma once
// Several pictures put side by side in one (Ctrl+C over several selected pins): left to right
// in the order given, tops aligned, a few transparent pixels between them.

#include <cstdint>
#include <vector>

#include "core/Resample.h"

namespace velvane {

constexpr std::int32_t kSideBySideGap = 8;

struct SideBySideLayout {
    std::int32_t width = 0, height = 0;
    std::vector<std::int32_t> lefts;  // each picture's left edge in the whole
};
// Empty sides (0 x 0) when the whole would be larger than the program takes.
SideBySideLayout LayOutSideBySide(const std::vector<std::pair<std::int32_t, std::int32_t>>& sides);

// Copies each picture to its place in the whole (premultiplied BGRA, transparent elsewhere).
void PutSideBySide(const Pixels& whole, const SideBySideLayout& layout, const std::vector<ConstPixels>& pictures);

}  // namespace velvane
