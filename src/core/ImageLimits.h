#pragma once
// The largest picture the program takes, from any source: its premultiplied 32-bit
// pixels, plus a decoder's or resampler's second copy, must fit the 32-bit program's
// address space. Every product of sides is taken in 64 bits against this limit.

#include <cstdint>

namespace velvane {

constexpr std::int64_t kMaxImageSide = 65535;
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 27;  // 512 MB as BGRA

// The largest image file read whole, or taken from another program's stream: the largest
// picture uncompressed, with room for its headers and metadata.
constexpr std::int64_t kMaxImageFileBytes = 4 * kMaxImagePixels + (std::int64_t{64} << 20);

constexpr bool ImageSizeFits(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

}  // namespace velvane
