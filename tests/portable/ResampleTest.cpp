#include "render/Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "render/ScaleArithmetic.h"

namespace velvane {
namespace {

struct Image {
    std::int32_t width, height;
    std::vector<std::uint8_t> bgra;
    const std::uint8_t* At(int x, int y) const { return &bgra[4 * (static_cast<std::size_t>(y) * width + x)]; }
};

Image Scaled(const Image& source, std::int32_t width, std::int32_t height) {
    Image out{width, height, std::vector<std::uint8_t>(4 * static_cast<std::size_t>(width) * height, 0xEE)};
    ResamplePremultiplied({source.bgra.data(), source.width, source.height, 4 * source.width},
                          {out.bgra.data(), width, height, 4 * width});
    return out;
}

// The slow, plainly right weight of source pixel j for output pixel i along one axis:
// the share of the output's footprint it covers when shrinking, the tent between the
// two nearest pixel centres (position clamped to the image) when enlarging.
double Weight(int sourceLength, int targetLength, int i, int j) {
    const double scale = static_cast<double>(sourceLength) / targetLength;
    if (scale > 1) {
        const double lo = i * scale, hi = (i + 1) * scale;
        return std::max(0.0, std::min(hi, j + 1.0) - std::max(lo, static_cast<double>(j))) / scale;
    }
    const double x = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceLength - 1.0);
    return std::max(0.0, 1 - std::fabs(x - j));
}

// Every channel of every output pixel within one level of the exact value.
void ExpectMatchesReference(const Image& source, const Image& out, const char* label) {
    const double sx = static_cast<double>(source.width) / out.width, sy = static_cast<double>(source.height) / out.height;
    int worst = 0;
    for (int oy = 0; oy < out.height; ++oy) {
        for (int ox = 0; ox < out.width; ++ox) {
            double exact[4] = {0, 0, 0, 0};
            for (int y = std::max(0, static_cast<int>(oy * sy) - 2); y < std::min(source.height, static_cast<int>((oy + 1) * sy) + 3); ++y)
                for (int x = std::max(0, static_cast<int>(ox * sx) - 2); x < std::min(source.width, static_cast<int>((ox + 1) * sx) + 3); ++x) {
                    const double w = Weight(source.width, out.width, ox, x) * Weight(source.height, out.height, oy, y);
                    for (int c = 0; c < 4; ++c) exact[c] += w * source.At(x, y)[c];
                }
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, static_cast<int>(std::ceil(std::fabs(out.At(ox, oy)[c] - exact[c]) - 1e-9)));
        }
    }
    EXPECT_LE(worst, 1) << label << ": " << source.width << "x" << source.height << " -> " << out.width << "x"
                        << out.height;
}

Image Noise(std::int32_t width, std::int32_t height) {
    std::mt19937 random(static_cast<unsigned>(width * 131 + height));
    Image image{width, height, {}};
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(width) * height; ++i) {
        const std::uint8_t alpha = static_cast<std::uint8_t>(random() % 256);
        for (int c = 0; c < 3; ++c) image.bgra.push_back(static_cast<std::uint8_t>(random() % (alpha + 1)));
        image.bgra.push_back(alpha);
    }
    return image;
}

TEST(Resample, MatchesTheAreaAverageAndTheTentWithinOneLevel) {
    const struct {
        std::int32_t width, height;
        float factors[7];
    } cases[] = {
        {1, 9, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 4}},
        {9, 1, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 4}},
        {3, 7, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 10}},
        {37, 23, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 4}},
        {200, 150, {0.01f, 0.25f, 0.333f, 0.5f, 0.77f, 1.01f, 3.5f}},  // 700 x 525: split across threads
    };
    for (const auto& c : cases) {
        const Image source = Noise(c.width, c.height);
        for (float factor : c.factors) {
            const std::int32_t w = *ScaledSide(factor, c.width), h = *ScaledSide(factor, c.height);
            if (w == 0 || h == 0) continue;
            ExpectMatchesReference(source, Scaled(source, w, h), std::to_string(factor).c_str());
        }
    }
}

TEST(Resample, CheckerboardShrinksToAnEvenGrey) {
    Image board{24, 24, {}};
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            for (int c = 0; c < 4; ++c) board.bgra.push_back((x + y) % 2 || c == 3 ? 255 : 0);
    for (int side : {12, 6}) {
        const Image out = Scaled(board, side, side);
        for (std::size_t i = 0; i < out.bgra.size(); ++i)
            EXPECT_NEAR(out.bgra[i], i % 4 == 3 ? 255 : 127.5, 1) << side << " at " << i;
    }
}

TEST(Resample, EdgesKeepTheirColour) {
    // Opaque everywhere: no dark or transparent fringe along the borders.
    Image red{5, 3, {}};
    for (int i = 0; i < 15; ++i) red.bgra.insert(red.bgra.end(), {0, 0, 255, 255});
    const Image redOut = Scaled(red, 17, 10);
    for (std::size_t i = 0; i < redOut.bgra.size(); ++i) EXPECT_EQ(redOut.bgra[i], red.bgra[i % 4]) << i;

    // A transparent pixel beside an opaque red one: whatever is partly covered stays pure red.
    const Image pair{2, 1, {0, 0, 0, 0, 0, 0, 255, 255}};
    for (std::int32_t width : {3, 8, 1}) {
        const Image out = Scaled(pair, width, 2);
        for (std::size_t i = 0; i < out.bgra.size(); i += 4) {
            EXPECT_EQ(out.bgra[i], 0);
            EXPECT_EQ(out.bgra[i + 1], 0);
            EXPECT_NEAR(out.bgra[i + 2], out.bgra[i + 3], 1) << "colour beyond what the alpha covers";
        }
    }
}

}  // namespace
}  // namespace velvane
