#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "core/FileOrientation.h"

namespace velvane {

// Each EXIF value as its definition states it: the upright side along which the stored
// image's first row runs, and the side along which its first column runs. A camera's
// stored pixels are built from that alone, so the test does not restate the mapping.
TEST(FileOrientation, EveryExifValueShowsTheStoredPictureUpright) {
    enum Side { Top, Bottom, Left, Right };
    const struct { int value; Side row0, column0; } definitions[] = {
        {1, Top, Left}, {2, Top, Right}, {3, Bottom, Right}, {4, Bottom, Left},
        {5, Left, Top}, {6, Right, Top}, {7, Right, Bottom}, {8, Left, Bottom}};
    for (const auto& [w, h] : {std::pair{3, 2}, std::pair{2, 3}})
        for (const auto& d : definitions) {
            // The stored image starts at the corner where the two sides meet.
            const bool across = d.row0 == Top || d.row0 == Bottom;
            const int x0 = d.row0 == Right || d.column0 == Right ? w - 1 : 0;
            const int y0 = d.row0 == Bottom || d.column0 == Bottom ? h - 1 : 0;
            const int storedWidth = across ? w : h, storedHeight = across ? h : w;
            std::uint8_t stored[24] = {}, shown[36];  // room for a wrong turn's writes
            std::fill(std::begin(shown), std::end(shown), std::uint8_t{0xEE});
            for (int r = 0; r < storedHeight; ++r)
                for (int c = 0; c < storedWidth; ++c) {
                    const int x = x0 + (x0 ? -1 : 1) * (across ? c : r), y = y0 + (y0 ? -1 : 1) * (across ? r : c);
                    stored[4 * (r * storedWidth + c)] = static_cast<std::uint8_t>(y * w + x);
                }
            TurnPixels({stored, storedWidth, storedHeight, 4 * storedWidth}, {shown, w, h, 4 * w},
                       OrientationFromExif(d.value));
            for (int i = 0; i < 6; ++i) EXPECT_EQ(shown[4 * i], i) << "value " << d.value << ", " << w << " wide";
        }
    EXPECT_EQ(OrientationFromExif(0), Orientation{});
    EXPECT_EQ(OrientationFromExif(9), Orientation{});
}

using Bytes = std::vector<std::uint8_t>;

// A TIFF structure whose first directory holds one entry, the orientation's.
Bytes Tiff(bool little, std::uint32_t value, std::uint32_t type = 3, std::uint32_t directory = 8, std::uint32_t count = 1) {
    Bytes b{little ? std::uint8_t{'I'} : std::uint8_t{'M'}, little ? std::uint8_t{'I'} : std::uint8_t{'M'}};
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> 8 * (little ? i : n - 1 - i)));
    };
    // Tag 274, one value in the first two bytes of its field, then no next directory.
    for (auto [v, n] : {std::pair{42u, 2}, {directory, 4}, {count, 2}, {274u, 2}, {type, 2}, {1u, 4}, {value, 2}, {0u, 2}, {0u, 4}})
        put(v, n);
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
