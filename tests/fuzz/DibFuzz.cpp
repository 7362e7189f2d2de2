// Fuzz target: the clipboard bitmap reader's layout, which any program's CF_DIB or
// CF_DIBV5 data reaches. A layout it accepts must keep every row inside the given bytes,
// in 64-bit arithmetic, and a picture the 32-bit program can hold.

#include <cstdint>
#include <cstdlib>

#include "core/ImageLimits.h"
#include "core/DibLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto layout = velvane::ReadDibLayout(data, size);
    if (!layout) return 0;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(layout->width) * layout->bitCount + 7) / 8;
    if (!velvane::ImageSizeFits(layout->width, layout->height) || layout->pixelOffset < 40 || layout->stride < rowBytes ||
        (layout->plainBgra && layout->bitCount != 32) || 4 * static_cast<std::uint64_t>(velvane::kMaxImagePixels) >= 0x80000000u)
        std::abort();
    for (std::int32_t y = 0; y < layout->height; ++y)
        if (static_cast<std::uint64_t>(layout->RowOffset(y)) + rowBytes > size) std::abort();
    return 0;
}
