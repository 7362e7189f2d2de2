#pragma once
// Where the pixels of a device-independent bitmap lie, as any program may put one on the
// clipboard (CF_DIB, CF_DIBV5). Portable: it decides from the bytes alone, in 64-bit
// arithmetic, so the Windows code only copies rows this has vouched for.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velvane {

struct DibLayout {
    std::int32_t width, height;  // both positive
    int bitCount;
    bool bottomUp;
    std::size_t pixelOffset;  // from the header's first byte
    std::size_t stride;
    // 32 bits a pixel in B, G, R, A order: rows that can be copied as they are.
    bool plainBgra;

    // The offset of a row counted from the top of the picture.
    std::size_t RowOffset(std::int32_t y) const {
        return pixelOffset + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
    }
};

// The layout of the DIB in these bytes (a header of 40, 52, 56, 108 or 124 bytes, the
// masks and colour table it names, then the rows); empty for anything else: other
// headers, depths or compressions, a palette larger than its depth, rows beyond the
// bytes, a picture larger than the program takes.
std::optional<DibLayout> ReadDibLayout(const std::uint8_t* dib, std::size_t bytes);

}  // namespace velvane
