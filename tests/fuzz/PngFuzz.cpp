// Fuzz target: PNG bytes through the program's decoder, from the header to the last row, as
// the window's bitmap gets them. Nothing may crash, hang or leak; sizes are checked before
// any allocation.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    velvane::PngDecoder png([&](std::uint8_t* into, std::size_t length) {
        if (size - at < length) return false;
        std::copy_n(data + at, length, into);
        at += length;
        return true;
    });
    const auto image = png.Size();
    // The fuzzer's memory limit, not the program's: the program takes far larger pictures.
    if (!image || static_cast<std::int64_t>(image->first) * image->second > (1 << 22)) return 0;
    std::vector<std::uint8_t> rows(4 * static_cast<std::size_t>(image->first) * image->second);
    png.Decode({rows.data(), image->first, image->second, 4 * static_cast<std::ptrdiff_t>(image->first)});
    return 0;
}
