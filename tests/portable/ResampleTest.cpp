#include <algorithm>
#include <cmath>
#include <random>

#include "Rows.h"
#include "render/Resample.h"
#include "render/ScaleArithmetic.h"

namespace velvane {
namespace {

using Rows = std::vector<std::uint8_t>;

Rows Scaled(const Rows& source, std::int32_t width, std::int32_t height, std::int32_t toWidth, std::int32_t toHeight) {
    Rows out(4 * static_cast<std::size_t>(toWidth) * toHeight, 0xEE);
    ResamplePremultiplied({const_cast<std::uint8_t*>(source.data()), width, height, 4 * width}, {out.data(), toWidth, toHeight, 4 * toWidth});
    return out;
}

// The plainly right share of source pixel j in output pixel i along one axis: the part of the
// output's footprint it covers when shrinking, the tent between pixel centres when enlarging.
std::vector<std::vector<std::pair<int, double>>> Weights(int source, int target) {
    std::vector<std::vector<std::pair<int, double>>> taken(target);
    const double scale = static_cast<double>(source) / target;
    for (int i = 0; i < target; ++i)
        for (int j = 0; j < source; ++j)
            if (const double w = scale > 1 ? std::max(0.0, std::min((i + 1) * scale, j + 1.0) - std::max(i * scale, j + 0.0)) / scale
                                           : std::max(0.0, 1 - std::fabs(std::clamp((i + 0.5) * scale - 0.5, 0.0, source - 1.0) - j)))
                taken[i].emplace_back(j, w);
    return taken;
}

TEST(Resample, WithinOneLevelOfTheAreaAverageAndTheTent) {
    const struct { std::int32_t width, height; std::vector<float> factors; } cases[] = {
        {1, 9, {0.25f, 0.333f, 0.5f, 1.5f, 2, 3, 4}}, {9, 1, {0.25f, 0.5f, 3}}, {3, 7, {0.333f, 1.5f, 10}}, {37, 23, {0.25f, 0.333f, 0.5f, 2, 3}},
        {200, 150, {0.01f, 0.77f, 1.01f, 3.5f}}};  // 700 x 525: split across threads
    for (const auto& c : cases) {
        std::mt19937 random(static_cast<unsigned>(c.width * 131 + c.height));
        Rows source;
        for (std::int32_t i = 0; i < c.width * c.height; ++i) {
            const auto alpha = static_cast<std::uint8_t>(random() % 256);  // premultiplied: no channel above its alpha
            for (int ch = 0; ch < 3; ++ch) source.push_back(static_cast<std::uint8_t>(random() % (alpha + 1)));
            source.push_back(alpha);
        }
        for (float factor : c.factors) {
            const std::int32_t w = *ScaledSide(factor, c.width), h = *ScaledSide(factor, c.height);
            const Rows out = Scaled(source, c.width, c.height, w, h);
            const auto xs = Weights(c.width, w), ys = Weights(c.height, h);
            double worst = 0;
            for (int i = 0; i < w * h * 4; ++i) {
                double exact = 0;
                for (const auto& [y, wy] : ys[i / 4 / w])
                    for (const auto& [x, wx] : xs[i / 4 % w]) exact += wy * wx * source[4 * (y * c.width + x) + i % 4];
                worst = std::max(worst, std::fabs(out[i] - exact));
            }
            EXPECT_LE(worst, 1 + 1e-9) << c.width << "x" << c.height << " at " << factor;
        }
    }
}

TEST(Resample, SolidColourStaysExactAndTransparencyAddsNoColour) {
    EXPECT_EQ(Scaled(Rows(60, 255), 5, 3, 17, 10), Rows(680, 255));
    for (std::int32_t width : {3, 8, 1}) {
        const Rows out = Scaled({0, 0, 0, 0, 255, 255, 255, 255}, 2, 1, width, 2);
        for (std::size_t i = 0; i < out.size(); i += 4) EXPECT_LE(out[i], out[i + 3]) << "colour beyond what the alpha covers";
    }
}

}  // namespace
}  // namespace velvane
