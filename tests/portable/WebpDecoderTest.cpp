#include <algorithm>
#include <fstream>
#include <iterator>

#include "Rows.h"
#include "core/WebpDecoder.h"

namespace velvane {

using Bytes = std::vector<std::uint8_t>;

// Committed fuzz seeds, made by Debian's webp tools from pixels written by hand: cwebp -lossless
// -exact (lossless-alpha), cwebp -q 90 (lossy-alpha: 16x16 of RGBA 200,150,100,128), img2webp
// -lossless -loop 3 (animated); the damaged ones were patched or cut from those.

// A frame decoded into top-down rows (or bottom-up ones, turned back here); empty when refused.
static Bytes Frame(WebpDecoder& webp, std::int32_t frame, bool upward = false) {
    const auto size = webp.Size();
    if (!size) return {};
    const std::ptrdiff_t stride = 4 * size->first;
    Bytes rows(static_cast<std::size_t>(stride) * size->second);
    if (!webp.Decode({rows.data() + (upward ? (size->second - 1) * stride : 0), size->first, size->second, upward ? -stride : stride}, frame))
        return {};
    for (std::int32_t y = 0; upward && y < size->second / 2; ++y)
        std::swap_ranges(rows.begin() + y * stride, rows.begin() + (y + 1) * stride, rows.end() - (y + 1) * stride);
    return rows;
}

TEST(WebpDecoder, StillPicturesComePremultipliedWithTheirAlpha) {
    WebpDecoder lossless(Seed("webp", "lossless-alpha.webp"));
    ASSERT_EQ(lossless.Size(), (std::pair{3, 2}));
    EXPECT_TRUE(lossless.FrameCount() == 1 && !lossless.Animated() && lossless.DurationMs(0) == 0);
    // Written as RGBA: (200,100,50,255) (255,0,0,128) (10,20,30,0) / (0,0,255,64) (100,180,240,200) white;
    // premultiplied here by hand.
    const Bytes pixels{50, 100, 200, 255, 0, 0, 128, 128, 0, 0, 0, 0, 64, 0, 0, 64, 188, 141, 78, 200, 255, 255, 255, 255};
    EXPECT_EQ(Frame(lossless, 0), pixels);
    EXPECT_EQ(Frame(lossless, 0, /*upward*/ true), pixels);
    EXPECT_TRUE(Frame(lossless, 1).empty()) << "a still picture has one frame";
    Bytes small(4 * 2 * 2);
    EXPECT_FALSE(lossless.Decode({small.data(), 2, 2, 8})) << "rows of another size";
    // Lossy colours come near; the alpha plane is lossless (a level off in it counts as 100).
    WebpDecoder lossy(Seed("webp", "lossy-alpha.webp"));
    const Bytes rows = Frame(lossy, 0), near{50, 75, 100, 128};
    ASSERT_EQ(rows.size(), 16u * 16 * 4);
    int worst = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) worst = std::max(worst, std::abs(rows[i] - near[i % 4]) * (i % 4 == 3 ? 100 : 1));
    EXPECT_LE(worst, 3);
}

TEST(WebpDecoder, AnimationFramesComeComposedInAnyOrder) {
    WebpDecoder webp(Seed("webp", "animated.webp"));
    ASSERT_EQ(webp.Size(), (std::pair{4, 4}));
    ASSERT_TRUE(webp.Animated() && webp.FrameCount() == 3);
    EXPECT_EQ(webp.LoopCount(), 3u);
    const std::uint32_t durations[] = {100, 250, 40};
    for (int k = 0; k < 3; ++k) EXPECT_EQ(webp.DurationMs(k), durations[k]) << "frame " << k;
    // Written as RGBA: all red (220,40,30); the top left 2x2 green (30,200,60), stored as a 2x2 frame;
    // the bottom right pixel (40,80,160,128), stored as a 2x2 frame at 2,2. Seen along the diagonal.
    const Bytes red{30, 40, 220, 255}, green{60, 200, 30, 255}, half{80, 40, 20, 128};
    const Bytes expected[3][4] = {{red, red, red, red}, {green, green, red, red}, {green, green, red, half}};
    for (int frame : {0, 1, 2, 2, 1, 0, 2}) {
        const Bytes rows = Frame(webp, frame);
        ASSERT_EQ(rows.size(), 64u) << "frame " << frame;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Bytes(&rows[20 * i], &rows[20 * i + 4]), expected[frame][i]) << frame << ", pixel " << 5 * i;
    }
    EXPECT_TRUE(Frame(webp, 3).empty());
}

// The animation's canvas made larger in its header: judged before anything is decoded.
TEST(WebpDecoder, CanvasesOverTheLimitAreRefused) {
    const struct { std::int32_t width, height; bool taken; } sizes[] = {
        {65535, 4, true}, {65536, 4, false}, {65535, 2048, true}, {65535, 2049, false}};
    for (const auto& s : sizes) {
        Bytes file = Seed("webp", "animated.webp");
        for (int i = 0; i < 3; ++i) file[24 + i] = static_cast<std::uint8_t>((s.width - 1) >> 8 * i), file[27 + i] = static_cast<std::uint8_t>((s.height - 1) >> 8 * i);
        EXPECT_EQ(WebpDecoder(file).Size().has_value(), s.taken) << s.width << "x" << s.height;
    }
}

TEST(WebpDecoder, DamagedFilesNeverDecodeWhole) {
    const auto whole = [](Bytes file) {
        WebpDecoder webp(std::move(file));
        bool decoded = webp.FrameCount() > 0;
        for (int k = 0; decoded && k < webp.FrameCount(); ++k) decoded = !Frame(webp, k).empty();
        return decoded;
    };
    for (const char* name : {"lossless-alpha.webp", "lossy-alpha.webp", "animated.webp"}) {
        const Bytes file = Seed("webp", name);
        ASSERT_TRUE(whole(file)) << name;
        for (std::size_t cut : {std::size_t{0}, std::size_t{11}, std::size_t{30}, file.size() / 2, file.size() - 1})
            EXPECT_FALSE(whole(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)))) << name << " cut at " << cut;
    }
    // Sizes in the RIFF header or a chunk's header that do not fit the data.
    for (const char* name : {"truncated-animated.webp", "vp8l-size-large.webp", "vp8l-size-small.webp", "anmf-size-small.webp", "riff-size-small.webp"})
        EXPECT_FALSE(whole(Seed("webp", name))) << name;
    const struct { const char* bytes; std::size_t length; bool webp; } signatures[] = {
        {"RIFF\x02\0\0\0WEBP", 12, true}, {"RIFF\x02\0\0\0WEBX", 12, false}, {"RIFF\x02\0\0\0WEB", 11, false}, {"\x89PNG\r\n\x1a\n\0\0\0\r", 12, false}};
    for (const auto& s : signatures)
        EXPECT_EQ(HasWebpSignature(reinterpret_cast<const std::uint8_t*>(s.bytes), s.length), s.webp) << s.bytes;
}

}  // namespace velvane
