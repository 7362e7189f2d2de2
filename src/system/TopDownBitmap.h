#pragma once
// A 32-bit DIB section whose rows lie top-down, in the order the decoders, the resampler and
// the screen's copy write them.

#include "common/Scoped.h"

#include <cstdint>

namespace velvane {

// Null (bits untouched) when none can be had.
inline ScopedBitmap TopDownBitmap(std::int32_t width, std::int32_t height, void*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return ScopedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace velvane
