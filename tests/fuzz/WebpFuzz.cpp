// Fuzz target: WebP bytes through the program's decoder, every frame of an animation in order
// and then one going back, as a pin's playback asks for them. Nothing may crash, hang or leak;
// sizes are checked before any allocation.

#include <cstdint>
#include <vector>

#include "core/WebpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velvane::WebpDecoder webp(std::vector<std::uint8_t>(data, data + size));
    const auto image = webp.Size();
    // The fuzzer's memory limit, not the program's: the program takes far larger pictures.
    if (!image || static_cast<std::int64_t>(image->first) * image->second > (1 << 22)) return 0;
    std::vector<std::uint8_t> rows(4 * static_cast<std::size_t>(image->first) * image->second);
    const velvane::Pixels into{rows.data(), image->first, image->second, 4 * static_cast<std::ptrdiff_t>(image->first)};
    // Long animations are cut short: the time goes to other inputs.
    const std::int32_t frames = webp.FrameCount() < 64 ? webp.FrameCount() : 64;
    for (std::int32_t k = 0; k < frames; ++k)
        if (!webp.Decode(into, k)) break;
    if (frames > 1) webp.Decode(into, frames / 2 - 1);
    return 0;
}
