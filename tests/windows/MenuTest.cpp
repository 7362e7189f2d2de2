#include "../portable/Rows.h"
#include "Fixture.h"

namespace velvane::testing {

static std::pair<int, int> Marks(const FrmLogo* w) { return {Checked(w->Menu.InmnuOpacity), Checked(w->Menu.InmnuSize)}; }

TEST_F(LogoTest, ChoicesRedrawOnceKeepEachOtherAndTheCornerAndMoveTheMarksOnlyWithAPicture) {
    FrmLogo* w = Open(logo, 1.5f, 80);
    ASSERT_NE(w, nullptr);
    const RECT placed = Rect(w);
    PushRecorder recorder;
    w->OnOpacityItem(4);
    EXPECT_EQ(std::make_tuple(Size(w).cx, Marks(w), recorder.alphas), std::make_tuple(618L, std::make_pair(4, int{CustomSizeIndex}), std::vector<int>{127}))
        << "one push, the factor read back from Custom's tag";
    w->OnSizeItem(1);  // "1/3"
    EXPECT_EQ(std::make_tuple(Size(w).cx, Size(w).cy, Marks(w)), std::make_tuple(137L, 54L, std::make_pair(4, 1)));
    EXPECT_EQ(std::make_tuple(Rect(w).left, Rect(w).top, recorder.alphas.size()), std::make_tuple(placed.left, placed.top, std::size_t{2}));
    EXPECT_FALSE(w->Menu.InmnuSize[CustomSizeIndex].visible) << "Custom goes with any size chosen";

    const std::wstring gone = Png(L"gone.png", 40, 30);
    FrmLogo* g = Open(gone);
    ASSERT_TRUE(g && DeleteFileW(gone.c_str()));
    g->OnSizeItem(4), g->OnOpacityItem(0);
    EXPECT_EQ(std::make_pair(Size(g).cx, Marks(g)), std::make_pair(40L, std::make_pair(9, int{SizeOneIndex})));
    FrmLogo* thin = Open(Png(L"thin.png", 300, 2), 1.5f);  // "1/4" rounds to no pixels
    ASSERT_NE(thin, nullptr);
    thin->OnSizeItem(0);
    EXPECT_EQ(std::make_tuple(Size(thin).cx, Marks(thin), thin->Menu.InmnuSize[CustomSizeIndex].visible),
              std::make_tuple(450L, std::make_pair(9, int{CustomSizeIndex}), true));
}

// Opening above other programs, and Top Most off from the menu, are the behaviour journey's; where
// the window then lies it cannot see under Wine (the menu's activation raises it again).
TEST_F(LogoTest, TopMostOffGoesBelowOrdinaryWindowsAndTopMostAndMoveableBelongToOneWindow) {
    HWND ordinary = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 380, 300, 300, 200, nullptr, nullptr, nullptr, nullptr);
    FrmLogo* a = Open(logo);
    FrmLogo* b = Open(logo);
    ASSERT_TRUE(a && b && ordinary);
    a->OnLogoItem(TopMostItem);
    EXPECT_TRUE(!IsTopMost(a->hWnd()) && IsTopMost(b->hWnd()) && IsBelow(a->hWnd(), ordinary));
    a->OnLogoItem(TopMostItem);
    EXPECT_TRUE(IsTopMost(a->hWnd()) && IsBelow(ordinary, a->hWnd()));
    a->OnLogoItem(MoveableItem);
    EXPECT_TRUE(!a->Menu.InmnuLogo[MoveableItem].checked && b->Menu.InmnuLogo[MoveableItem].checked);
    FrmLogo* c = Open(logo, 1, 100, /*dontOnTop*/ true);
    EXPECT_TRUE(c && !IsTopMost(c->hWnd()) && IsBelow(c->hWnd(), ordinary)) << "dontontop opens beneath other programs' windows";
    DestroyWindow(ordinary);
}

}  // namespace velvane::testing
