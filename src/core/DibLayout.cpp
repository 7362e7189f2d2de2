#include "core/DibLayout.h"

#include "core/ImageLimits.h"

namespace velvane {
namespace {

constexpr std::uint32_t kRgb = 0, kBitFields = 3;

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<DibLayout> ReadDibLayout(const std::uint8_t* dib, std::size_t bytes) {
    if (!dib || bytes < 40) return std::nullopt;
    const std::uint32_t headerSize = Le32(dib);
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
        return std::nullopt;
    const std::int64_t width = static_cast<std::int32_t>(Le32(dib + 4));
    const std::int64_t signedHeight = static_cast<std::int32_t>(Le32(dib + 8));
    const std::int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    const std::uint32_t planes = dib[12] | dib[13] << 8, bitCount = dib[14] | dib[15] << 8;
    const std::uint32_t compression = Le32(dib + 16), sizeImage = Le32(dib + 20), coloursUsed = Le32(dib + 32);
    if (planes != 1 || !ImageSizeFits(width, height)) return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;
    // Run-length, JPEG and PNG compressions are refused; masks only where the depth has them.
    const bool masked = compression == kBitFields;
    if (compression != kRgb && !(masked && (bitCount == 16 || bitCount == 32))) return std::nullopt;
    // A palette is a depth's own (at most 2^depth colours); deeper pixels may carry an optional one.
    const std::uint64_t depthColours = bitCount <= 8 ? std::uint64_t{1} << bitCount : 256;
    if (coloursUsed > depthColours) return std::nullopt;
    const std::uint64_t colours = coloursUsed ? coloursUsed : bitCount <= 8 ? depthColours : 0;
    // A 40-byte header is followed by its three masks; newer headers hold them.
    const std::uint64_t masksAfter = masked && headerSize == 40 ? 12 : 0;
    const std::uint64_t offset = headerSize + masksAfter + 4 * colours;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(height);
    if (offset > bytes || rowBytes > bytes - offset || (sizeImage != 0 && sizeImage < rowBytes)) return std::nullopt;

    const bool plainMasks = !masked || (Le32(dib + 40) == 0xFF0000 && Le32(dib + 44) == 0xFF00 && Le32(dib + 48) == 0xFF);
    return DibLayout{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), static_cast<int>(bitCount),
                     signedHeight > 0, static_cast<std::size_t>(offset), static_cast<std::size_t>(stride),
                     bitCount == 32 && plainMasks};
}

}  // namespace velvane
