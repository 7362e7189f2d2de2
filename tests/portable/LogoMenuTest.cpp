#include "windows/LogoMenu.h"

#include <gtest/gtest.h>

#include "startup/NumberReading.h"

namespace velvane {
namespace {

int CheckedCount(const std::array<MenuItem, 11>& items) {
    int n = 0;
    for (const MenuItem& item : items) n += item.checked;
    return n;
}

TEST(LogoMenu, NewMenuHasTheDesignedState) {
    LogoMenu menu;
    EXPECT_TRUE(menu.InmnuLogo[TopMostItem].checked);
    EXPECT_TRUE(menu.InmnuLogo[MoveableItem].checked);
    EXPECT_EQ(CheckedCount(menu.InmnuLogo), 2);
    EXPECT_EQ(CheckedCount(menu.InmnuOpacity), 0);
    EXPECT_TRUE(menu.InmnuSize[SizeOneIndex].checked);
    EXPECT_FALSE(menu.InmnuSize[CustomSizeIndex].visible);
    EXPECT_EQ(menu.InmnuLogo[ExitItem].caption, L"E&xit");
    // Each menu ends with a separator, and only separators are between the named items.
    EXPECT_TRUE(menu.InmnuLogo.back().IsSeparator());
    EXPECT_TRUE(menu.InmnuOpacity.back().IsSeparator());
    EXPECT_TRUE(menu.InmnuSize.back().IsSeparator());
    for (int k = 0; k < 10; ++k) EXPECT_EQ(ReadNumber(menu.InmnuOpacity[k].caption), 10.0 * (k + 1));
}

TEST(LogoMenu, OpeningOpacityChecksTheNearestItem) {
    const struct {
        int opacity, item;
    } cases[] = {{100, 9}, {50, 4}, {10, 0}, {15, 1}, {25, 1}, {35, 3}, {95, 9}, {6, 0}, {44, 3}, {45, 3}, {55, 5}};
    for (const auto& c : cases) {
        LogoMenu menu;
        ASSERT_TRUE(menu.CheckOpeningOpacity(static_cast<std::int16_t>(c.opacity))) << c.opacity;
        EXPECT_TRUE(menu.InmnuOpacity[c.item].checked) << c.opacity;
        EXPECT_EQ(CheckedCount(menu.InmnuOpacity), 1) << c.opacity;
    }
}

TEST(LogoMenu, OpacityWithoutAnItemIsRefused) {
    for (int opacity : {5, 0, -10, 106, 200}) {
        LogoMenu menu;
        EXPECT_FALSE(menu.CheckOpeningOpacity(static_cast<std::int16_t>(opacity))) << opacity;
        EXPECT_EQ(CheckedCount(menu.InmnuOpacity), 0) << opacity;
    }
}

TEST(LogoMenu, SizeOtherThanOneGoesToCustomWithItsFactor) {
    for (float factor : {2.0f, 0.5f, 0.333f, 1.5f, 0.0001f, 1.0000001f}) {
        LogoMenu menu;
        menu.MarkOpeningSize(factor);
        EXPECT_TRUE(menu.InmnuSize[CustomSizeIndex].checked);
        EXPECT_TRUE(menu.InmnuSize[CustomSizeIndex].visible);
        EXPECT_FALSE(menu.InmnuSize[SizeOneIndex].checked);
        EXPECT_FALSE(menu.InmnuSize[4].checked);  // "2" stays unchecked even for 2
        const std::wstring& tag = menu.InmnuSize[CustomSizeIndex].tag;
        EXPECT_EQ(tag.find(L','), std::wstring::npos);
        EXPECT_EQ(ToSingle(*ReadNumber(tag)), factor) << factor;  // reads back exactly
    }
}

TEST(LogoMenu, SizeOneKeepsTheDesignedSubmenu) {
    LogoMenu menu;
    menu.MarkOpeningSize(1.0f);
    EXPECT_TRUE(menu.InmnuSize[SizeOneIndex].checked);
    EXPECT_FALSE(menu.InmnuSize[CustomSizeIndex].visible);
    EXPECT_TRUE(menu.InmnuSize[CustomSizeIndex].tag.empty());
}

TEST(LogoMenu, SizeFactorTextIsShort) {
    EXPECT_EQ(SizeFactorText(2.0f), L"2");
    EXPECT_EQ(SizeFactorText(0.5f), L"0.5");
    EXPECT_EQ(SizeFactorText(0.333f), L"0.333");
}

}  // namespace
}  // namespace velvane
