#include "Rows.h"
#include "core/DibLayout.h"

namespace velvane {

// A DIB's header (the fields a reader must check) followed by so many bytes of masks, palette and rows.
static std::vector<std::uint8_t> Dib(std::uint32_t header, std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                                     std::size_t after, std::uint32_t colours = 0, std::uint32_t sizeImage = 0, int planes = 1,
                                     bool rgb = false) {
    std::vector<std::uint8_t> dib(header + after);
    const auto put = [&](std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> 8 * i); };
    put(0, header), put(4, width), put(8, height), put(12, planes | bits << 16), put(16, compression), put(20, sizeImage), put(32, colours);
    if (compression == 3) put(40, rgb ? 0xFF : 0xFF0000), put(44, 0xFF00), put(48, rgb ? 0xFF0000 : 0xFF);  // B, G, R order, or R, G, B
    return dib;
}

TEST(DibLayout, RowsLieInsideTheBytesOrTheBitmapIsRefused) {
    const struct { const char* what; std::vector<std::uint8_t> dib; std::optional<std::tuple<std::size_t, std::size_t, bool, bool>> layout; } cases[] = {
        // offset of the rows, stride, bottom-up, rows copied as they are
        {"32-bit", Dib(40, 2, 2, 32, 0, 16), std::tuple{40, 8, true, true}},
        {"24-bit top-down, rows padded", Dib(40, 3, -2, 24, 0, 24), std::tuple{40, 12, false, false}},
        {"masks after a plain header", Dib(40, 2, 1, 32, 3, 12 + 8), std::tuple{52, 8, true, true}},
        {"V3, V4 and V5 hold their masks", Dib(56, 2, 1, 16, 3, 4), std::tuple{56, 4, true, false}},
        {"", Dib(108, 1, 1, 32, 3, 4), std::tuple{108, 4, true, true}}, {"", Dib(124, 1, 1, 32, 3, 4, 0, 4), std::tuple{124, 4, true, true}},
        {"8-bit, full and short palette", Dib(40, 4, 1, 8, 0, 1024 + 4), std::tuple{1064, 4, true, false}},
        {"", Dib(52, 4, 1, 8, 0, 8 + 4, 2), std::tuple{60, 4, true, false}}, {"1-bit", Dib(40, 33, 1, 1, 0, 8 + 8), std::tuple{48, 8, true, false}},
        {"a palette of exactly 2^depth colours", Dib(40, 33, 1, 1, 0, 8 + 8, 2), std::tuple{48, 8, true, false}},
        {"32 bits masked R, G, B: not copied as they are", Dib(40, 2, 1, 32, 3, 12 + 8, 0, 0, 1, true), std::tuple{52, 8, true, false}},
        // 65535 x 16385 at 32 bits: its rows' size wraps to 196,604 in 32 bits
        {"rows beyond 4 GB", Dib(40, 65535, 16385, 32, 0, 196604), std::nullopt},
        {"larger than the program takes", Dib(40, 20000, -20000, 1, 0, 2500 * 20000), std::nullopt},
        {"a palette of 2^30 colours", Dib(40, 1, 1, 32, 0, 4, 0x40000000), std::nullopt},
        {"palette beyond the depth", Dib(40, 1, 1, 1, 0, 12, 3), std::nullopt},
        {"one byte short", Dib(40, 2, 2, 32, 0, 15), std::nullopt}, {"", Dib(40, 4, 1, 8, 0, 1024 + 3), std::nullopt},
        {"size stated below the rows", Dib(40, 2, 2, 32, 0, 16, 0, 15), std::nullopt},
        {"run-length", Dib(40, 2, 2, 8, 1, 1024 + 8), std::nullopt}, {"masks on 24 bits", Dib(40, 2, 2, 24, 3, 64), std::nullopt},
        {"PNG inside", Dib(40, 2, 2, 32, 5, 64), std::nullopt}, {"2 bits", Dib(40, 2, 2, 2, 0, 64), std::nullopt},
        {"two planes", Dib(40, 2, 2, 32, 0, 64, 0, 0, 2), std::nullopt}, {"header of 64 bytes", Dib(64, 2, 2, 32, 0, 64), std::nullopt},
        {"negative width", Dib(40, -2, 2, 32, 0, 64), std::nullopt}, {"the lowest height", Dib(40, 1, INT32_MIN, 32, 0, 64), std::nullopt},
        {"header cut short", [] { auto d = Dib(40, 1, 1, 32, 0, 4); d.resize(39); return d; }(), std::nullopt},
    };
    for (const auto& c : cases) {
        const auto layout = ReadDibLayout(c.dib.data(), c.dib.size());
        EXPECT_EQ(layout.has_value(), c.layout.has_value()) << c.what;
        if (layout && c.layout) {
            EXPECT_EQ(std::make_tuple(layout->pixelOffset, layout->stride, layout->bottomUp, layout->plainBgra), *c.layout) << c.what;
        }
    }
}

}  // namespace velvane
