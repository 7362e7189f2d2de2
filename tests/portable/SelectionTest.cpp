#include <gtest/gtest.h>

#include "core/Selection.h"

namespace velvane::capture {

// A monitor left of and above the primary one: the virtual screen starts at negative pixels.
constexpr PixelRect kPrimary{0, 0, 1920, 1080}, kTwoMonitors{-1280, -200, 1920, 1080};

TEST(Selection, DraggedEitherWayBothCornersIncludedAndKeptOnTheScreen) {
    const struct { Pixel from, to; PixelRect screen, expected; } cases[] = {
        {{10, 10}, {19, 14}, kPrimary, {10, 10, 20, 15}},
        {{19, 10}, {10, 14}, kPrimary, {10, 10, 20, 15}},
        {{7, 7}, {7, 7}, kPrimary, {7, 7, 8, 8}},
        {{1900, 1070}, {2500, 1300}, kPrimary, {1900, 1070, 1920, 1080}},
        {{-50, -20}, {-1400, -300}, kTwoMonitors, {-1280, -200, -49, -19}},
        {{-5, 5}, {5, -5}, kPrimary, {0, 0, 6, 6}},
        {{3000, 3000}, {3100, 3100}, kPrimary, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(DraggedRect(c.from, c.to, c.screen), c.expected) << c.from.x << "," << c.from.y << " to " << c.to.x;
}

TEST(Selection, AShakeIsAClickAndTheLabelStaysOnTheScreen) {
    for (const auto& [to, click] : {std::pair{Pixel{7, 3}, true}, {Pixel{8, 5}, false}, {Pixel{5, 2}, false}})
        EXPECT_EQ(IsClick({5, 5}, to), click) << to.x << "," << to.y;
    const struct { PixelRect selection; Pixel expected; } cases[] = {
        {{100, 100, 200, 150}, {100, 154}},       // below
        {{100, 1000, 200, 1079}, {100, 970}},     // above, at the screen's foot
        {{0, 0, 1920, 1080}, {0, 1050}},          // inside, the whole screen selected
        {{1900, 500, 1920, 510}, {1820, 514}},    // pulled in from the right edge
        {{-1280, -200, -1200, -150}, {-1280, -146}},
    };
    for (const auto& c : cases) {
        const Pixel at = LabelPlace(c.selection, 100, 26, c.selection.left < 0 ? kTwoMonitors : kPrimary);
        EXPECT_EQ(std::make_pair(at.x, at.y), std::make_pair(c.expected.x, c.expected.y)) << c.selection.left << "," << c.selection.top;
    }
}

}  // namespace velvane::capture
