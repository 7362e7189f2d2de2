#include <algorithm>
#include <cmath>
#include <random>

#include "Rows.h"
#include "render/Resample.h"
#include "render/ScaleArithmetic.h"

namespace velvane {
namespace {

struct Image {
    std::int32_t width, height;
    std::vector<std::uint8_t> bgra;
    int At(int x, int y, int c) const { return bgra[4 * (static_cast<std::size_t>(y) * width + x) + c]; }
};

Image Scaled(const Image& source, std::int32_t width, std::int32_t height) {
    Image out{width, height, std::vector<std::uint8_t>(4 * static_cast<std::size_t>(width) * height, 0xEE)};
    ResamplePremultiplied({source.bgra.data(), source.width, source.height, 4 * source.width}, {out.bgra.data(), width, height, 4 * width});
    return out;
}

// The plainly right share of source pixel j in output pixel i along one axis: the part of the
// output's footprint it covers when shrinking, the tent between pixel centres when enlarging.
double Weight(int source, int target, int i, int j) {
    const double scale = static_cast<double>(source) / target;
    if (scale > 1) return std::max(0.0, std::min((i + 1) * scale, j + 1.0) - std::max(i * scale, static_cast<double>(j))) / scale;
    return std::max(0.0, 1 - std::fabs(std::clamp((i + 0.5) * scale - 0.5, 0.0, source - 1.0) - j));
}

TEST(Resample, WithinOneLevelOfTheAreaAverageAndTheTent) {
    const struct { std::int32_t width, height; std::vector<float> factors; } cases[] = {
        {1, 9, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 4}}, {9, 1, {0.25f, 0.5f, 3}}, {3, 7, {0.333f, 1.5f, 10}}, {37, 23, {0.25f, 0.333f, 0.5f, 2, 3}},
        {200, 150, {0.01f, 0.77f, 1.01f, 3.5f}}};  // 700 x 525: split across threads
    for (const auto& c : cases) {
        std::mt19937 random(static_cast<unsigned>(c.width * 131 + c.height));
        Image source{c.width, c.height, {}};
        for (std::int32_t i = 0; i < c.width * c.height; ++i) {
            const auto alpha = static_cast<std::uint8_t>(random() % 256);  // premultiplied: no channel above its alpha
            for (int ch = 0; ch < 3; ++ch) source.bgra.push_back(static_cast<std::uint8_t>(random() % (alpha + 1)));
            source.bgra.push_back(alpha);
        }
        for (float factor : c.factors) {
            const Image out = Scaled(source, *ScaledSide(factor, c.width), *ScaledSide(factor, c.height));
            auto axis = [](int from, int to) {  // the source pixels each output pixel takes, with their weights
                std::vector<std::vector<std::pair<int, double>>> taken(to);
                for (int i = 0; i < to; ++i)
                    for (int j = 0; j < from; ++j)
                        if (const double w = Weight(from, to, i, j)) taken[i].emplace_back(j, w);
                return taken;
            };
            const auto xs = axis(c.width, out.width), ys = axis(c.height, out.height);
            double worst = 0;
            for (int oy = 0; oy < out.height; ++oy)
                for (int ox = 0; ox < out.width; ++ox)
                    for (int ch = 0; ch < 4; ++ch) {
                        double exact = 0;
                        for (const auto& [y, wy] : ys[oy])
                            for (const auto& [x, wx] : xs[ox]) exact += wy * wx * source.At(x, y, ch);
                        worst = std::max(worst, std::fabs(out.At(ox, oy, ch) - exact));
                    }
            EXPECT_LE(worst, 1 + 1e-9) << c.width << "x" << c.height << " at " << factor;
        }
    }
}

TEST(Resample, SolidColourStaysExactAndTransparencyAddsNoColour) {
    const Image red{5, 3, std::vector<std::uint8_t>(60, 255)}, pair{2, 1, {0, 0, 0, 0, 255, 255, 255, 255}};
    EXPECT_EQ(Scaled(red, 17, 10).bgra, std::vector<std::uint8_t>(680, 255));
    for (std::int32_t width : {3, 8, 1}) {
        const Image out = Scaled(pair, width, 2);
        for (std::size_t i = 0; i < out.bgra.size(); i += 4) EXPECT_LE(out.bgra[i], out.bgra[i + 3]) << "colour beyond what the alpha covers";
    }
}

}  // namespace
}  // namespace velvane
