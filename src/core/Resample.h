#pragma once
// Scaling of premultiplied 32-bit pixels (B, G, R, A bytes), kept free of Windows so it
// is tested natively. Shrinking averages the area of every source pixel that falls into
// a destination pixel; enlarging interpolates between pixel centres, the image's own
// borders clamped. Premultiplied values keep a transparent pixel's colour out of its
// neighbours.

#include <cstddef>
#include <cstdint>

namespace velvane {

struct ConstPixels {
    const std::uint8_t* rows;  // first (top) row
    std::int32_t width, height;
    std::ptrdiff_t stride;  // bytes from one row to the next, may be negative
};

struct Pixels {
    std::uint8_t* rows;
    std::int32_t width, height;
    std::ptrdiff_t stride;
};

// Scales the whole source onto the whole destination. Large outputs are split by rows
// across the machine's cores.
void ResamplePremultiplied(const ConstPixels& source, const Pixels& destination);

}  // namespace velvane
