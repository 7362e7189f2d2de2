#include <gtest/gtest.h>

#include <tuple>

#include "core/PinGroups.h"
#include "core/SideBySide.h"
#include "core/Tile.h"

namespace velvane {

TEST(Groups, WordsNameOneGroupOrAllAndTheKeyStepsThroughThoseWithPins) {
    const struct { const wchar_t* word; std::optional<int> group; } words[] = {
        {L"group1", 1}, {L"group9", 9}, {L"groupall", kAllGroups}, {L"group0", {}}, {L"group10", {}}, {L"group", {}}, {L"groups", {}}, {L"xgroup1", {}}};
    for (const auto& w : words) EXPECT_EQ(GroupOfWord(w.word), w.group) << static_cast<const void*>(w.word);
    std::array<bool, kGroups + 1> has{};
    EXPECT_EQ(NextGroup(kAllGroups, has), kAllGroups) << "no pins: all stays";
    has[2] = has[5] = true;
    const struct { int shown, next; } steps[] = {{kAllGroups, 2}, {2, 5}, {5, kAllGroups}, {1, 2}, {3, 5}, {9, kAllGroups}};
    for (const auto& s : steps) EXPECT_EQ(NextGroup(s.shown, has), s.next) << s.shown;
}

TEST(Tile, TheWholePictureFitsCentredNeverEnlarged) {
    const struct { std::int32_t width, height; TileFit fit; } cases[] = {
        {200, 100, {0.44f, 4, 26, 88, 44}},
        {100, 400, {0.22f, 37, 4, 22, 88}},
        {40, 30, {1.0f, 28, 33, 40, 30}},
        {5000, 1, {0.0176f, 4, 47, 88, 1}},  // a sliver keeps a pixel
    };
    for (const auto& c : cases) {
        const TileFit fit = FitInTile(c.width, c.height);
        EXPECT_NEAR(fit.factor, c.fit.factor, 1e-4f) << c.width << "x" << c.height;
        EXPECT_EQ(std::tie(fit.left, fit.top, fit.width, fit.height), std::tie(c.fit.left, c.fit.top, c.fit.width, c.fit.height)) << c.width << "x" << c.height;
    }
}

TEST(SideBySide, PicturesGoLeftToRightTopsAlignedWithTransparentGaps) {
    const SideBySideLayout layout = LayOutSideBySide({{3, 2}, {2, 4}, {1, 1}});
    EXPECT_EQ(std::tie(layout.width, layout.height, layout.lefts), std::make_tuple(3 + 8 + 2 + 8 + 1, 4, std::vector<std::int32_t>{0, 11, 21}));
    EXPECT_EQ(LayOutSideBySide({{40000, 10}, {40000, 10}}).width, 0) << "wider than any picture the program takes";
    const std::uint8_t red[] = {0, 0, 255, 255, 0, 0, 255, 255}, blue[] = {255, 0, 0, 255};
    const SideBySideLayout two = LayOutSideBySide({{2, 1}, {1, 1}});
    std::vector<std::uint8_t> whole(4 * two.width * two.height, 7);
    PutSideBySide({whole.data(), two.width, two.height, 4 * two.width}, two, {{red, 2, 1, 8}, {blue, 1, 1, 4}});
    EXPECT_EQ(std::vector<std::uint8_t>(whole.begin() + 8, whole.begin() + 12), std::vector<std::uint8_t>(4, 0)) << "transparent between";
    EXPECT_EQ(std::vector<std::uint8_t>(whole.end() - 4, whole.end()), std::vector<std::uint8_t>(blue, blue + 4));
}

}  // namespace velvane
