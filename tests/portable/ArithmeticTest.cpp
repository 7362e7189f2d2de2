#include <gtest/gtest.h>

#include "render/ScaleArithmetic.h"
#include "windows/Placement.h"

namespace velvane {
namespace {

TEST(Scaling, SidesRoundHalfToEven) {
    const struct {
        float factor;
        int pixels, expected;
    } cases[] = {{0.5f, 163, 82}, {0.5f, 165, 82}, {0.25f, 163, 41}, {0.5f, 412, 206}, {0.333f, 412, 137},
                 {0.333f, 163, 54}, {0.25f, 412, 103}, {1.0f, 412, 412}, {2.0f, 163, 326}, {0.001f, 163, 0},
                 {1.5f, 3, 4}, {1.5f, 5, 8}};
    for (const auto& c : cases) EXPECT_EQ(ScaledSide(c.factor, c.pixels), c.expected) << c.factor << " x " << c.pixels;
}

TEST(Scaling, UsesTheFloatValueNotItsDecimalText) {
    // 0.1f is slightly above 0.1, so 5 * 0.1f is just above the tie and rounds up.
    EXPECT_EQ(ScaledSide(0.1f, 5), 1);
    EXPECT_FALSE(ScaledSide(3e38f, 4000).has_value());
}

TEST(Opacity, EveryPercentageGivesTruncatedAlpha) {
    for (int p = 0; p <= 100; ++p) {
        auto alpha = AlphaFromOpacity(static_cast<std::int16_t>(p));
        ASSERT_TRUE(alpha.has_value()) << p;
        EXPECT_EQ(*alpha, p * 255 / 100) << p;
        EXPECT_LE(*alpha * 100, p * 255);
    }
    EXPECT_EQ(AlphaFromOpacity(10), 25);
    EXPECT_EQ(AlphaFromOpacity(50), 127);
    EXPECT_EQ(AlphaFromOpacity(100), 255);
}

TEST(Opacity, NegativeOrTooLargeGivesNoAlpha) {
    EXPECT_FALSE(AlphaFromOpacity(-1).has_value());   // -255 / 100 truncates to -2: no byte
    EXPECT_FALSE(AlphaFromOpacity(101).has_value());  // 257 is no byte
    EXPECT_FALSE(AlphaFromOpacity(129).has_value());  // the 16-bit product overflows
}

TEST(Fade, StepsCountFromTenBelowTheFinalAlpha) {
    EXPECT_EQ(FadeSteps(255).size(), 25u);
    EXPECT_EQ(FadeSteps(255).front(), 10);
    EXPECT_EQ(FadeSteps(255).back(), 250);
    EXPECT_EQ(FadeSteps(25), (std::vector<std::uint8_t>{10, 20}));
    EXPECT_EQ(FadeSteps(20), (std::vector<std::uint8_t>{10, 20}));
    EXPECT_TRUE(FadeSteps(9).empty());
    EXPECT_EQ(FadeSteps(127).size(), 12u);
}

TEST(Fade, OnlyImagesLargeInBothDirectionsSkipIt) {
    EXPECT_FALSE(FadeAllowed(865, 801));
    EXPECT_TRUE(FadeAllowed(864, 1000));
    EXPECT_TRUE(FadeAllowed(1000, 800));
    EXPECT_TRUE(FadeAllowed(864, 800));
}

TEST(Placement, CentresTheScaledImageInTwips) {
    // 1024 x 768 at 96 dpi: 15 twips per pixel.
    EXPECT_EQ(CentredEdgeTwips(1024, 15.0, 1.0f, 412), (15360 - 6180) / 2);
    EXPECT_EQ(CentredEdgeTwips(768, 15.0, 0.5f, 163), 10298 / 2);  // 10297.5 rounds to even
    EXPECT_EQ(CentredEdgeTwips(1024, 15.0, 4.0f, 412), (15360 - 24720) / 2);  // overhangs: negative
    EXPECT_EQ(CentredEdgeTwips(100, 15.0, 1.0f, 1), 742);  // 1485 / 2 truncates
    EXPECT_EQ(CentredEdgeTwips(100, 15.0, 1.0f, 101), -7);  // -15 / 2 truncates toward zero
    EXPECT_FALSE(CentredEdgeTwips(1024, 15.0, 1e30f, 412).has_value());
}

TEST(Placement, TwipsAndPixels) {
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(144), 10.0);
    EXPECT_EQ(TwipsToPixels(300, 15.0), 20);
    EXPECT_EQ(TwipsToPixels(4590, 15.0), 306);
    EXPECT_EQ(TwipsToPixels(22.5, 15.0), 2);   // 1.5 -> 2
    EXPECT_EQ(TwipsToPixels(37.5, 15.0), 2);   // 2.5 -> 2
    EXPECT_EQ(TwipsToPixels(-32767, 15.0), -2184);
}

}  // namespace
}  // namespace velvane
