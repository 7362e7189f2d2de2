#include <gtest/gtest.h>

#include "startup/CommandLine.h"
#include "support/TestImages.h"
#include "support/Windows.h"

namespace velvane::testing {
namespace {

using mMain::OpenLogo;

class OpenLogoTest : public ImageWindowTest<412, 163> {
protected:
    FrmLogo* Open(float size = 1.0f, std::int16_t opacity = 100, bool dontOnTop = false, bool dontMoveable = false,
                  std::int16_t top = CenterPos, std::int16_t left = CenterPos, bool dontDrag = false) {
        const std::size_t before = FrmLogo::Loaded().size();
        OpenLogo(logo, dontOnTop, dontMoveable, dontDrag, true, top, left, opacity, size, false);
        return FrmLogo::Loaded().size() == before + 1 ? Newest() : nullptr;
    }

};

TEST_F(OpenLogoTest, WindowTakesTheScaledImageSizeCentredOnTheScreen) {
    const struct {
        float size;
        RECT expected;
    } cases[] = {
        {1.0f, {306, 302, 306 + 412, 302 + 163}},
        {0.5f, {409, 343, 409 + 206, 343 + 82}},    // 81.5 rounds to 82
        {0.333f, {443, 357, 443 + 137, 357 + 54}},  // "1/3"
        {4.0f, {-312, 58, -312 + 1648, 58 + 652}},  // overhangs the screen
    };
    for (const auto& c : cases) {
        FrmLogo* w = Open(c.size);
        ASSERT_NE(w, nullptr) << c.size;
        const RECT r = ScreenRect(w->hWnd());
        EXPECT_EQ(r.left, c.expected.left) << c.size;
        EXPECT_EQ(r.top, c.expected.top) << c.size;
        EXPECT_EQ(r.right, c.expected.right) << c.size;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.size;
        EXPECT_TRUE(IsLayered(w->hWnd()));
        EXPECT_TRUE(IsWindowVisible(w->hWnd()));
        EXPECT_EQ(w->FileNamePath(), logo);
        w->Unload();
    }
}

TEST_F(OpenLogoTest, PositionsAreTwipsAndEachAxisCentresOnItsOwn) {
    FrmLogo* w = Open(1.0f, 100, false, false, /*top*/ 150, /*left*/ 300);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ScreenRect(w->hWnd()).left, 20);
    EXPECT_EQ(ScreenRect(w->hWnd()).top, 10);
    EXPECT_EQ(w->LeftTwips(), 300);

    FrmLogo* leftOnly = Open(1.0f, 100, false, false, CenterPos, 300);
    ASSERT_NE(leftOnly, nullptr);
    EXPECT_EQ(ScreenRect(leftOnly->hWnd()).left, 20);
    EXPECT_EQ(ScreenRect(leftOnly->hWnd()).top, 302);
}

TEST_F(OpenLogoTest, AboutWindowIsCentredWhateverThePositionSays) {
    OpenLogo(logo, false, false, false, true, 150, 300, 100, 1.0f, true);
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    EXPECT_EQ(ScreenRect(Newest()->hWnd()).left, 306);
    EXPECT_TRUE(Newest()->AboutMode());
    EXPECT_TRUE(mMain::AboutOpen);
}

TEST_F(OpenLogoTest, TopMostOrAtTheBottom) {
    FrmLogo* onTop = Open();
    ASSERT_NE(onTop, nullptr);
    EXPECT_TRUE(IsTopMost(onTop->hWnd()));
    EXPECT_TRUE(onTop->Menu.InmnuLogo[TopMostItem].checked);

    FrmLogo* below = Open(1.0f, 100, /*dontOnTop*/ true);
    ASSERT_NE(below, nullptr);
    EXPECT_FALSE(IsTopMost(below->hWnd()));
    EXPECT_FALSE(below->Menu.InmnuLogo[TopMostItem].checked);
    EXPECT_TRUE(IsWindowVisible(below->hWnd()));
    for (HWND next = GetWindow(below->hWnd(), GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        EXPECT_FALSE(IsWindowVisible(next)) << "a visible window lies below the bottom window";
    bool aboveBelow = false;
    for (HWND next = GetWindow(onTop->hWnd(), GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        aboveBelow = aboveBelow || next == below->hWnd();
    EXPECT_TRUE(aboveBelow);
}

TEST_F(OpenLogoTest, MenuStateFollowsTheOpeningValues) {
    FrmLogo* w = Open(2.0f, 25, false, /*dontMoveable*/ true, CenterPos, CenterPos, /*dontDrag*/ true);
    ASSERT_NE(w, nullptr);
    const LogoMenu& m = w->Menu;
    EXPECT_TRUE(m.InmnuOpacity[1].checked);  // 25 -> "20"
    for (int k = 0; k < 10; ++k) {
        if (k != 1) {
            EXPECT_FALSE(m.InmnuOpacity[k].checked) << k;
        }
    }
    EXPECT_TRUE(m.InmnuSize[CustomSizeIndex].checked);
    EXPECT_TRUE(m.InmnuSize[CustomSizeIndex].visible);
    EXPECT_EQ(m.InmnuSize[CustomSizeIndex].tag, L"2");
    EXPECT_FALSE(m.InmnuSize[SizeOneIndex].checked);
    EXPECT_FALSE(m.InmnuSize[4].checked);
    EXPECT_FALSE(m.InmnuLogo[MoveableItem].checked);
    EXPECT_TRUE(m.InmnuLogo[MakeSingleExeItem].visible);  // this program file carries no package
    EXPECT_EQ(w->OLEDropMode(), 0);
    EXPECT_EQ(ScreenRect(w->hWnd()).right - ScreenRect(w->hWnd()).left, 824);

    FrmLogo* plain = Open(1.0f, 100);
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->Menu.InmnuOpacity[9].checked);
    EXPECT_TRUE(plain->Menu.InmnuSize[SizeOneIndex].checked);
    EXPECT_FALSE(plain->Menu.InmnuSize[CustomSizeIndex].visible);
    EXPECT_TRUE(plain->Menu.InmnuLogo[MoveableItem].checked);
    EXPECT_EQ(plain->OLEDropMode(), 1);
    // Each window has its own menu.
    EXPECT_FALSE(w->Menu.InmnuLogo[MoveableItem].checked);
}

TEST_F(OpenLogoTest, UnreadableOrMissingFilesOpenNothing) {
    const std::wstring text = scratch.File(L"notes.png");
    ASSERT_TRUE(WriteTextFile(text, "not an image"));
    OpenLogo(text, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    OpenLogo(scratch.File(L"missing.png"), false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    OpenLogo(scratch.path(), false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    EXPECT_TRUE(FrmLogo::Loaded().empty());
}

TEST_F(OpenLogoTest, ValuesNoWindowCanShowOpenNothing) {
    EXPECT_EQ(Open(1.0f, 5), nullptr);   // no Opacity item near 5 %
    EXPECT_EQ(Open(1.0f, -20), nullptr); // no alpha
    EXPECT_EQ(Open(0.0f), nullptr);
    EXPECT_EQ(Open(1e30f), nullptr);     // the centring does not fit 32 bits
    EXPECT_EQ(Open(0.001f), nullptr);    // rounds to an empty image: nothing to show
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_NE(Open(1.0f, 6), nullptr);
}

TEST_F(OpenLogoTest, FileNamesInAnyScriptOpen) {
    const std::wstring name = scratch.File(L"\u5199\u771f \u00e9t\u00e9 \u0444\u043e\u0442\u043e.png");
    ASSERT_TRUE(WriteSolidPng(name, 40, 30));
    OpenLogo(name, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    EXPECT_EQ(ScreenRect(Newest()->hWnd()).right - ScreenRect(Newest()->hWnd()).left, 40);
}

TEST_F(OpenLogoTest, UnloadingTakesTheWindowAway) {
    FrmLogo* w = Open();
    ASSERT_NE(w, nullptr);
    HWND hwnd = w->hWnd();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_TRUE(Exists(logo)) << "the user's own image must never be deleted";
}

}  // namespace
}  // namespace velvane::testing
