#include "core/FileOrientation.h"

#include <cstring>

namespace velvane {

namespace {

constexpr std::uint16_t kOrientationTag = 274;
constexpr std::uint16_t kShortType = 3;
// Far beyond any real first directory; with the bounds checks it keeps a crafted count
// from making a long loop.
constexpr std::uint32_t kMaxEntries = 1024;

std::uint32_t BigEndian16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }

// The orientation in a TIFF structure (header, then the first directory only).
std::optional<int> TiffOrientation(const std::uint8_t* tiff, std::size_t size) {
    if (size < 8) return std::nullopt;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return std::nullopt;
    auto read = [&](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= std::uint32_t{tiff[at + i]} << 8 * (little ? i : bytes - 1 - i);
        return value;
    };
    if (read(2, 2) != 42) return std::nullopt;
    // Sizes are at most 64-bit and every term below is 32-bit, so the sums cannot wrap.
    const std::uint64_t directory = read(4, 4);
    if (directory < 8 || directory + 2 > size) return std::nullopt;
    const std::uint32_t count = read(directory, 2);
    if (count == 0 || count > kMaxEntries || directory + 2 + 12 * std::uint64_t{count} + 4 > size)
        return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = directory + 2 + 12 * std::size_t{i};
        if (read(entry, 2) != kOrientationTag) continue;
        if (read(entry + 2, 2) != kShortType || read(entry + 4, 4) != 1) return std::nullopt;
        const int value = static_cast<int>(read(entry + 8, 2));
        if (value < 1 || value > 8) return std::nullopt;
        return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> ExifOrientationOf(const std::uint8_t* bytes, std::size_t size) {
    if (size >= 4 && (std::memcmp(bytes, "II*\0", 4) == 0 || std::memcmp(bytes, "MM\0*", 4) == 0))
        return TiffOrientation(bytes, size);
    if (size < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    // Every step moves on at least one byte, so the walk is bounded by the size.
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // a fill byte before the marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // the scan or the end: no EXIF
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = BigEndian16(bytes + at + 2);
        if (length < 2) return std::nullopt;
        const std::size_t data = at + 4, end = at + 2 + length;
        if (marker == 0xE1 && length >= 8 && data + 6 <= size && std::memcmp(bytes + data, "Exif\0\0", 6) == 0)
            return TiffOrientation(bytes + data + 6, (end < size ? end : size) - data - 6);
        at = end;
    }
    return std::nullopt;
}

Orientation OrientationFromExif(int value) {
    // Index: the EXIF value. 5 (transpose) is the mirror then three turns; 7 (transverse)
    // the mirror then one turn; 4 (upside down mirror) the mirror then two turns.
    static constexpr Orientation kTurns[] = {{0, false}, {0, false}, {0, true}, {2, false}, {2, true},
                                             {3, true},  {1, false}, {1, true}, {3, false}};
    return value >= 1 && value <= 8 ? kTurns[value] : Orientation{};
}

}  // namespace velvane
