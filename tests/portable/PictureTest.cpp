#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/FrameTiming.h"
#include "core/Orientation.h"

namespace velvane {

// A 3 x 2 picture numbered 0 1 2 / 3 4 5, shown after a row of choices: hand-turned.
TEST(Orientation, ChoicesActOnThePictureAsShown) {
    using C = TurnChoice;
    const struct { std::vector<C> choices; std::int32_t width; std::vector<std::uint8_t> shown; } rows[] = {
        {{}, 3, {0, 1, 2, 3, 4, 5}},
        {{C::Right}, 2, {3, 0, 4, 1, 5, 2}},
        {{C::Left}, 2, {2, 5, 1, 4, 0, 3}},
        {{C::FlipHorizontal}, 3, {2, 1, 0, 5, 4, 3}},
        {{C::FlipVertical}, 3, {3, 4, 5, 0, 1, 2}},
        {{C::Right, C::FlipHorizontal}, 2, {0, 3, 1, 4, 2, 5}},
        {{C::Right, C::FlipVertical}, 2, {5, 2, 4, 1, 3, 0}},
        {{C::FlipHorizontal, C::Right}, 2, {5, 2, 4, 1, 3, 0}},
        {{C::FlipVertical, C::Left}, 2, {5, 2, 4, 1, 3, 0}},
        {{C::Left, C::Left}, 3, {5, 4, 3, 2, 1, 0}},
        {{C::FlipHorizontal, C::FlipVertical, C::Right, C::Reset}, 3, {0, 1, 2, 3, 4, 5}},
    };
    std::uint8_t source[24];
    for (int i = 0; i < 24; ++i) source[i] = static_cast<std::uint8_t>(i / 4);
    for (const auto& row : rows) {
        Orientation o;
        for (C c : row.choices) o = Turned(o, c);
        // Stored and read back as older copies never see it: a number of its own.
        EXPECT_EQ(Orientation::FromCode(o.Code()), o);
        const std::int32_t height = 6 / row.width;
        EXPECT_EQ(o.SwapsSides(), row.width == 2);
        std::vector<std::uint8_t> out(24, 0xEE);
        TurnPixels({source, 3, 2, 12}, {out.data(), row.width, height, 4 * row.width}, o);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(out[4 * i], row.shown[i]) << "row " << &row - rows << " pixel " << i;
    }
    for (double code : {-1.0, 8.0, 2.5}) EXPECT_FALSE(Orientation::FromCode(code)) << code;
}

TEST(Animation, DelaysAndLoopsAsBrowsersShowThem) {
    const struct { std::uint32_t stored, shown; } delays[] = {{0, 100}, {1, 100}, {2, 20}, {10, 100}, {7, 70}};
    for (const auto& d : delays) EXPECT_EQ(ShownDelayMs(d.stored), d.shown) << d.stored;
    for (const auto& [stored, shown] : {std::pair{0u, 100u}, {10u, 100u}, {11u, 11u}}) EXPECT_EQ(ShownDurationMs(stored), shown) << stored;
    const struct { std::size_t frames; std::optional<std::uint32_t> loops; std::vector<std::size_t> shown; } plays[] = {
        {2, std::nullopt, {1}}, {3, 1, {1, 2, 0, 1, 2}}, {2, 0, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0}}, {1, 0, {}},
        // WebP counts plays: one, two, forever.
        {2, RepeatsOfPlays(1), {1}}, {2, RepeatsOfPlays(2), {1, 0, 1}}, {2, RepeatsOfPlays(0), {1, 0, 1, 0, 1, 0, 1, 0, 1, 0}}};
    for (const auto& p : plays) {
        FramePlayer player(p.frames, p.loops);
        std::vector<std::size_t> shown;
        for (std::optional<std::size_t> next; shown.size() < 10 && (next = player.Advance());) shown.push_back(*next);
        EXPECT_EQ(shown, p.shown) << p.frames << " frames";
    }
}

}  // namespace velvane
