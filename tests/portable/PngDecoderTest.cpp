#include <fstream>
#include <iterator>

#include "Rows.h"
#include "core/PngDecoder.h"

namespace velvane {

using Bytes = std::vector<std::uint8_t>;

// A committed fuzz seed, decoded through the program's reader from memory; empty when refused.
// Its size alone when the header is all that is asked for (nothing is allocated before).
static Bytes Decoded(const std::string& name, bool cut = false, std::optional<std::pair<std::int32_t, std::int32_t>>* header = nullptr) {
    Bytes file = Seed("png", name);
    file.resize(cut ? 170 : file.size());  // rgba8.png: its pixel data runs from byte 138 to 216
    std::size_t at = 0;
    PngDecoder png([&](std::uint8_t* into, std::size_t length) {
        if (file.size() - at < length) return false;
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), length, into);
        return at += length, true;
    });
    const auto size = png.Size();
    if (header) return *header = size, Bytes{};
    Bytes rows(size ? 4 * static_cast<std::size_t>(size->first) * size->second : 0);
    return size && png.Decode({rows.data(), size->first, size->second, 4 * size->first}) ? rows : Bytes{};
}

// Files of two pixels written byte by byte, premultiplied here by hand: gray 200 at alpha 128 and
// 50 at 0; the same in 16 bits (0x8080, 0x8080) and white; a palette of red at tRNS 128 and blue
// with no entry. (ImageMagick's files, each against its plain twin: the test below.)
TEST(PngDecoder, ExactPremultipliedPixelsOfEachColourType) {
    const struct { const char* file; int pixel; Bytes bgra; } cases[] = {
        {"graya8.png", 0, {100, 100, 100, 128}}, {"graya8.png", 1, {0, 0, 0, 0}}, {"graya16.png", 0, {64, 64, 64, 128}},
        {"graya16.png", 1, {255, 255, 255, 255}}, {"palette-partial.png", 0, {0, 0, 128, 128}},
        {"palette-partial.png", 1, {255, 0, 0, 255}}};
    for (const auto& c : cases) {
        const Bytes rows = Decoded(c.file);
        ASSERT_GE(rows.size(), 4u * c.pixel + 4) << c.file;
        EXPECT_EQ(Bytes(rows.begin() + 4 * c.pixel, rows.begin() + 4 * c.pixel + 4), c.bgra) << c.file << " pixel " << c.pixel;
    }
    // Headers alone: 65,535 a side and 134 million pixels are the most taken.
    const struct { const char* file; bool taken; } sizes[] = {{"side-65535.png", true}, {"side-65536.png", false}, {"pixels-11586.png", false}};
    for (const auto& c : sizes) {
        std::optional<std::pair<std::int32_t, std::int32_t>> header;
        Decoded(c.file, false, &header);
        EXPECT_EQ(header.has_value(), c.taken) << c.file;
    }
}

// Every colour type, depth and interlacing gives the pixels of the plain 8-bit RGBA file of the same
// picture, premultiplied BGRA (ImageMagick wrote both); damaged pixel data is refused.
TEST(PngDecoder, EveryKindGivesThePremultipliedPixelsOfItsPlainTwin) {
    const Bytes plain = Decoded("rgba8.png");
    ASSERT_EQ(plain.size(), 16u * 8 * 4);
    // ImageMagick's reading of three pixels (0,0), (15,7), (8,3) as RGBA, premultiplied here by hand.
    const Bytes known[] = {{12, 35, 59, 75}, {220, 60, 20, 255}, {79, 64, 83, 173}};
    const int at[] = {0, 7 * 16 + 15, 3 * 16 + 8};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Bytes(plain.begin() + 4 * at[i], plain.begin() + 4 * at[i] + 4), known[i]) << "pixel " << at[i];
    const struct { const char *file, *twin; int levels; } kinds[] = {
        {"rgba16.png", "rgba8.png", 1}, {"rgba8-interlaced.png", "rgba8.png", 0}, {"palette-trns.png", "palette-ref.png", 0},
        {"gray8.png", "gray-ref.png", 0}, {"mono1.png", "mono1-ref.png", 0}};
    for (const auto& k : kinds) {
        const Bytes kind = Decoded(k.file), twin = Decoded(k.twin);
        ASSERT_TRUE(!kind.empty() && kind.size() == twin.size()) << k.file;
        int worst = 0;
        for (std::size_t i = 0; i < kind.size(); ++i) worst = std::max(worst, std::abs(kind[i] - twin[i]));
        EXPECT_LE(worst, k.levels) << k.file;
    }
    EXPECT_TRUE(Decoded("rgba8.png", /*cut*/ true).empty()) << "pixel data cut short";
}

}  // namespace velvane
