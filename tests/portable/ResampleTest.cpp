#include <algorithm>
#include <cmath>

#include "Rows.h"
#include "core/Resample.h"

namespace velvane {

using Rows = std::vector<std::uint8_t>;

static Rows Scaled(const Rows& source, std::int32_t width, std::int32_t height, std::int32_t toWidth, std::int32_t toHeight) {
    Rows out(4 * static_cast<std::size_t>(toWidth) * toHeight, 0xEE);  // a pixel never written shows
    ResamplePremultiplied({const_cast<std::uint8_t*>(source.data()), width, height, 4 * width}, {out.data(), toWidth, toHeight, 4 * toWidth});
    return out;
}

// Pixels whose four channels hold one value: premultiplied, and a channel mixed apart from the others shows.
static Rows Grey(const std::vector<int>& values) {
    Rows pixels;
    for (int v : values) pixels.insert(pixels.end(), 4, static_cast<std::uint8_t>(v));
    return pixels;
}

// Shrinking averages what lies under each output pixel; enlarging takes the tent between pixel centres, edges held.
// Shrinks of thousands to one too: weights far below one level each still add up to the average.
TEST(Resample, AreaAveragesAndTentsAlongBothAxes) {
    const struct { std::vector<int> line, scaled; } lines[] = {
        {{0, 100, 200, 250}, {50, 225}}, {{10, 20, 30, 40, 50, 60, 70, 80, 90}, {20, 50, 80}}, {{0, 90, 180}, {30, 150}},
        {{0, 200}, {0, 50, 150, 200}}, {{0, 240}, {0, 120, 240}}, {{77}, {77, 77, 77}}, {{255, 255, 255}, {255}}};
    for (const auto& l : lines) {
        const auto n = static_cast<std::int32_t>(l.line.size()), m = static_cast<std::int32_t>(l.scaled.size());
        EXPECT_EQ(Scaled(Grey(l.line), n, 1, m, 1), Grey(l.scaled)) << "across, " << n << " to " << m;
        EXPECT_EQ(Scaled(Grey(l.line), 1, n, 1, m), Grey(l.scaled)) << "down, " << n << " to " << m;
    }
    std::vector<int> lonePixel(20000, 0), stripes(20000, 0);
    lonePixel[7777] = 255;
    for (std::size_t i = 0; i < stripes.size(); i += 2) stripes[i] = 255;
    for (const auto& [line, to, average] : {std::tuple{lonePixel, 1, 0}, std::tuple{stripes, 20, 127}, std::tuple{stripes, 1, 127}}) {
        const Rows out = Scaled(Grey(line), 20000, 1, to, 1);
        for (int i = 0; i < to; ++i) EXPECT_NEAR(out[4 * i + 3], average, 1) << "20000 to " << to << ", pixel " << i;
    }
}

// A tent or an even footprint keeps a ramp a ramp: every row and column must land where it belongs.
TEST(Resample, LargeImagesKeepEveryRowAndColumnInPlace) {
    Rows ramp;  // red counts the columns, green the rows
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) ramp.insert(ramp.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0, 255});
    for (const auto& [w, h] : {std::pair{1000, 750} /* two threads, on two cores or more */, std::pair{100, 75}}) {
        const Rows out = Scaled(ramp, 200, 150, w, h);
        double worst = 0;
        for (int i = 0; i < w * h; ++i) {
            const double x = std::clamp((i % w + 0.5) * 200 / w - 0.5, 0.0, 199.0), y = std::clamp((i / w + 0.5) * 150 / h - 0.5, 0.0, 149.0);
            worst = std::max({worst, std::fabs(out[4 * i] - x), std::fabs(out[4 * i + 1] - y), std::fabs(out[4 * i + 2] + 255.0 - out[4 * i + 3])});
        }
        EXPECT_LE(worst, 1) << w << "x" << h;
    }
}

}  // namespace velvane
