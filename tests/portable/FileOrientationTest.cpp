#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/FileOrientation.h"

namespace velvane {

// Each EXIF value as the turn a viewer gives the stored picture (what each turn does to the
// pixels: the orientation table's own test).
TEST(FileOrientation, EveryExifValueShowsTheStoredPictureUpright) {
    using C = TurnChoice;
    const std::vector<C> turns[] = {{}, {C::FlipHorizontal}, {C::Right, C::Right}, {C::FlipVertical},
                                    {C::Right, C::FlipHorizontal} /* transposed */, {C::Right}, {C::Right, C::FlipVertical}, {C::Left}};
    for (int value = 1; value <= 8; ++value) {
        Orientation o;
        for (C c : turns[value - 1]) o = Turned(o, c);
        EXPECT_EQ(OrientationFromExif(value), o) << "value " << value;
    }
    EXPECT_EQ(OrientationFromExif(0), Orientation{});
    EXPECT_EQ(OrientationFromExif(9), Orientation{});
}

using Bytes = std::vector<std::uint8_t>;

// A TIFF structure whose first directory holds one entry, the orientation's.
Bytes Tiff(bool little, std::uint32_t value, std::uint32_t type = 3, std::uint32_t directory = 8, std::uint32_t count = 1) {
    Bytes b{little ? std::uint8_t{'I'} : std::uint8_t{'M'}, little ? std::uint8_t{'I'} : std::uint8_t{'M'}};
    // Tag 274, one value in the first two bytes of its field, then no next directory; each value in n bytes.
    for (auto [v, n] : {std::pair{42u, 2}, {directory, 4}, {count, 2}, {274u, 2}, {type, 2}, {1u, 4}, {value, 2}, {0u, 2}, {0u, 4}})
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> 8 * (little ? i : n - 1 - i)));
    return b;
}

// SOI, then each (marker, data) as a segment with its length.
Bytes Jpeg(const std::vector<std::pair<std::uint8_t, Bytes>>& segments) {
    Bytes b{0xFF, 0xD8};
    for (const auto& [marker, data] : segments) {
        const std::size_t length = data.size() + 2;
        b.insert(b.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

Bytes Exif(const Bytes& tiff, std::size_t padding = 0) {
    Bytes b(6 + tiff.size() + padding, 0);  // "Exif", two zeros, the TIFF structure
    std::copy_n("Exif", 4, b.begin());
    std::copy(tiff.begin(), tiff.end(), b.begin() + 6);
    return b;
}

TEST(FileOrientation, ReadsTheTagOfJpegAndTiffAndNothingFromDamage) {
    const Bytes jfif{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}, xmp{'h', 't', 't', 'p', ':', '/', '/'};
    Bytes cut = Jpeg({{0xE1, Exif(Tiff(true, 7), 100)}});  // an EXIF segment longer than the bytes read
    cut.resize(cut.size() - 100);
    const struct { const char* name; Bytes bytes; std::optional<int> value; } rows[] = {
        {"tiff II", Tiff(true, 6), 6}, {"tiff MM", Tiff(false, 8), 8},
        {"jpeg II", Jpeg({{0xE0, jfif}, {0xE1, Exif(Tiff(true, 3))}}), 3},
        {"jpeg MM", Jpeg({{0xE1, Exif(Tiff(false, 5))}, {0xDA, {0, 1}}}), 5},
        {"exif after xmp", Jpeg({{0xE1, xmp}, {0xE1, Exif(Tiff(false, 2))}}), 2}, {"segment cut", cut, 7},
        {"value 0", Tiff(true, 0), {}}, {"value 9", Jpeg({{0xE1, Exif(Tiff(false, 9))}}), {}},
        {"long type", Tiff(true, 6, 4), {}}, {"directory outside", Tiff(false, 6, 3, 1000), {}},
        {"directory at 2^32-1", Tiff(true, 6, 3, 0xFFFFFFFF), {}}, {"count beyond", Tiff(true, 6, 3, 8, 2), {}},
        {"count 65535", Tiff(false, 6, 3, 8, 0xFFFF), {}}, {"no app1", Jpeg({{0xE0, jfif}, {0xDA, {0, 1}}}), {}},
        {"app1 without exif", Jpeg({{0xE1, xmp}}), {}},
        {"exif after the scan", Jpeg({{0xDA, {0}}, {0xE1, Exif(Tiff(true, 6))}}), {}},
        {"png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, {}}};
    for (const auto& row : rows) EXPECT_EQ(ExifOrientationOf(row.bytes.data(), row.bytes.size()), row.value) << row.name;
    // Every start of a whole file, each in a buffer of its own length so a read past it shows.
    for (const Bytes& whole : {Tiff(false, 6), Jpeg({{0xE0, jfif}, {0xE1, Exif(Tiff(true, 6))}})})
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const Bytes start(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_EQ(ExifOrientationOf(start.data(), n), std::nullopt) << n << " of " << whole.size();
        }
}

}  // namespace velvane
