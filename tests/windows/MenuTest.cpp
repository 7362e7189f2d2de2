#include "../portable/Rows.h"
#include "Fixture.h"
#include <psapi.h>

#include <functional>

#include "image/LayeredPNGWindow.h"
#include "system/WindowRegistry.h"
#include "system/Clipboard.h"
#include "system/MessagePump.h"

namespace velvane::testing {

static std::pair<int, int> Marks(const FrmLogo* w) { return {Checked(w->Menu.InmnuOpacity), Checked(w->Menu.InmnuSize)}; }

// (A size chosen keeps the top left corner: the behaviour and copies journeys.)
TEST_F(LogoTest, ChoicesRedrawOnceKeepEachOtherAndMoveTheMarksOnlyWithAPicture) {
    FrmLogo* w = Open(logo, 1.5f, 80);
    ASSERT_NE(w, nullptr);
    PushRecorder recorder;
    w->OnOpacityItem(4);
    EXPECT_EQ(std::make_tuple(Size(w).cx, Marks(w), recorder.alphas), std::make_tuple(618L, std::make_pair(4, int{CustomSizeIndex}), std::vector<int>{127}))
        << "one push, the factor read back from Custom's tag";
    w->OnSizeItem(1);  // "1/3"
    EXPECT_EQ(std::make_tuple(Size(w).cx, Size(w).cy, Marks(w), recorder.alphas),
              std::make_tuple(137L, 54L, std::make_pair(4, 1), std::vector<int>{127, 127})) << "one push more, at the opacity chosen";
    EXPECT_FALSE(w->Menu.InmnuSize[CustomSizeIndex].visible) << "Custom goes with any size chosen";
    FrmLogo* same = Open(Bmp(L"same.bmp", 60, 40));
    Bmp(L"same.bmp", 40, 60);  // changed while its decoded picture is kept, as long as before: only its time tells
    ASSERT_TRUE(same);
    same->OnSizeItem(3);
    EXPECT_EQ(Size(same).cx, 40L) << "a file of the same length read again";

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

// Drawing by keys and the pointer as the user would; a crop keeps the picture where it was, and
// Revert, Undo Revert and Ctrl+Z move the window so that it stays there too.
TEST_F(LogoTest, DrawingCropsInPlaceAndRevertAndUndoKeepThePictureWhereItWas) {
    FrmLogo* w = Open(logo, 2);
    ASSERT_NE(w, nullptr);
    const RECT whole = Rect(w);
    const auto send = [&](UINT message, WPARAM wParam, int x, int y) { SendMessageW(w->hWnd(), message, wParam, MAKELPARAM(x, y)); };
    w->OnChar(L' ');
    ASSERT_TRUE(w->Editing());
    w->OnChar(L'c');
    send(WM_LBUTTONDOWN, MK_LBUTTON, 40, 20), send(WM_MOUSEMOVE, MK_LBUTTON, 240, 120), send(WM_LBUTTONUP, 0, 240, 120);
    w->OnChar(L'\r');  // applies the crop; Esc then ends the drawing and never closes the pin
    w->OnChar(27);
    ASSERT_TRUE(FrmLogo::Find(w->hWnd()) && !w->Editing());
    const RECT cropped = Rect(w);
    EXPECT_EQ(std::make_tuple(cropped.left - whole.left, cropped.top - whole.top, Size(w).cx, Size(w).cy), std::make_tuple(40L, 20L, 202L, 102L));
    const struct { const char* label; std::function<void()> act; const RECT& place; } steps[] = {
        {"Revert to Original", [&] { w->OnLogoItem(RevertItem); }, whole},
        {"Undo Revert", [&] { w->OnLogoItem(UndoRevertItem); }, cropped},
        {"Ctrl+Z while drawing", [&] { w->OnChar(L' '), w->OnKeyDown('Z', 2), w->OnChar(27); }, whole},
        {"Ctrl+Y while drawing", [&] { w->OnChar(L' '), w->OnKeyDown('Y', 2), w->OnChar(27); }, cropped}};
    for (const auto& step : steps) {
        step.act();
        const RECT now = Rect(w);
        EXPECT_TRUE(EqualRect(&now, &step.place)) << step.label << ": " << Rect(w).left << "," << Rect(w).top << " " << Size(w).cx;
    }
    EXPECT_EQ(w->Marks.Marks().size(), 1u);
}

// What a window keeps between drawings (its picture, in the bitmap it was decoded into) never
// changes what a drawing shows: each push is what a fresh read of the file gives.
TEST_F(LogoTest, DrawingsFromWhatTheWindowKeptAreThoseOfAFreshRead) {
    std::vector<std::uint8_t> bgra(4 * 5 * 5);
    for (std::size_t i = 0; i < bgra.size(); ++i) bgra[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const std::wstring square = Png(L"square.png", 5, 5, bgra.data());
    FrmLogo* w = Open(square);
    ASSERT_NE(w, nullptr);
    PushRecorder recorder;
    recorder.keepPixels = true;
    const int right = static_cast<int>(TurnChoice::Right), left = static_cast<int>(TurnChoice::Left), reset = static_cast<int>(TurnChoice::Reset);
    const struct { const char* label; int turn, size; float factor; UINT_PTR letGo; } steps[] = {
        {"turned, its own size", right, -1, 1, 0}, {"upright again", reset, -1, 1, 0}, {"2", -1, 4, 2, 0},
        {"1 into the larger bitmap", -1, 3, 1, 0}, {"turned at 2", left, 4, 2, 0},
        {"1 upright", reset, 3, 1, 0}, {"1 again, read again once all was let go", -1, 3, 1, FrmLogo::kKeptPictureTimer},
        {"2, the bitmap it was read into let go", -1, 4, 2, FrmLogo::kKeptSurfaceTimer}};
    for (const auto& step : steps) {
        if (step.letGo) SendMessageW(w->hWnd(), WM_TIMER, step.letGo, 0);
        if (step.turn >= 0) w->OnTurnItem(step.turn);
        if (step.size >= 0) w->OnSizeItem(step.size);
        std::int32_t width = 0, height = 0;
        const auto fresh = LayeredPNGWindow().RenderedPixels(square, step.factor, w->Menu.Turn, {}, width, height);
        ASSERT_FALSE(fresh.empty() || recorder.pixels.empty()) << step.label;
        EXPECT_EQ(recorder.pixels.back(), fresh) << step.label;
    }
}

// What was kept leaves the process when its time comes: a 2000 x 2000 picture (16 MB) drawn at 1/2.
TEST_F(LogoTest, APictureLetGoGivesItsMemoryBack) {
    FrmLogo* w = Open(Png(L"large.png", 2000, 2000), 0.5f);
    ASSERT_NE(w, nullptr);
    const auto resident = [] { PROCESS_MEMORY_COUNTERS m{}; return GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m), m.WorkingSetSize; };
    const SIZE_T kept = resident();
    SendMessageW(w->hWnd(), WM_TIMER, FrmLogo::kKeptPictureTimer, 0);
    EXPECT_GT(kept - resident(), SIZE_T{12} << 20);
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

// Arrows nudge a window that may move; one the screens left behind comes back; Ctrl+Z reopens what Esc closed.
TEST_F(LogoTest, NudgesScreensThatChangeAndReopeningWhatWasClosed) {
    FrmLogo* w = Open(logo);
    ASSERT_NE(w, nullptr);
    const struct { int key, shift; bool moveable; long dx, dy; } nudges[] = {
        {VK_LEFT, 0, true, -1, 0}, {VK_DOWN, 1 /* Shift */, true, 0, 10}, {VK_UP, 0, false, 0, 0}, {VK_RIGHT, 2 /* Ctrl */, true, 0, 0}};
    for (const auto& n : nudges) {
        w->Menu.InmnuLogo[MoveableItem].checked = n.moveable;
        const RECT before = Rect(w);
        w->OnKeyDown(n.key, n.shift);
        EXPECT_EQ(std::make_pair(Rect(w).left - before.left, Rect(w).top - before.top), std::make_pair(n.dx, n.dy)) << n.key << " " << n.shift;
    }
    const struct { int left, top; long keptLeft, keptTop; } places[] = {{5000, -3000, 612, 0}, {1000, 700, 612, 605}, {980, 700, 980, 700}, {-380, 10, -380, 10}};
    for (const auto& p : places) {  // 412 x 163: under 32 pixels on the screen goes back, 32 or more stays
        SetWindowPos(w->hWnd(), nullptr, p.left, p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(w->hWnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        EXPECT_EQ(std::make_tuple(Rect(w).left, Rect(w).top, Size(w).cx), std::make_tuple(p.keptLeft, p.keptTop, 412L)) << p.left << " " << p.top;
    }
    // Two deep: the newest first, each where and as it was (turned, its opacity), one whose file is gone
    // too; then nothing to reopen.
    const std::wstring gone = Png(L"gone.png", 60, 40);
    FrmLogo* a = Open(logo, 0.25f);
    FrmLogo* b = Open(gone, 2, 50);
    ASSERT_TRUE(a && b);
    b->OnChar(L']');
    b->OnKeyDown(VK_RIGHT, 1 /* Shift */);
    const RECT placeA = Rect(a), placeB = Rect(b);
    a->OnChar(27);
    b->OnChar(27);
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    DeleteFileW(gone.c_str());
    for (const auto& [expected, opacity] : {std::pair{placeB, 4}, std::pair{placeA, 9}}) {
        w->OnKeyDown('Z', 2 /* Ctrl */);
        const FrmLogo* back = FrmLogo::Loaded().back();
        EXPECT_EQ(std::make_tuple(Rect(back).left, Rect(back).top, Rect(back).right, Rect(back).bottom, Checked(back->Menu.InmnuOpacity)),
                  std::make_tuple(expected.left, expected.top, expected.right, expected.bottom, opacity));
    }
    w->OnMouseDown(1);
    EXPECT_FALSE(w->Menu.InmnuLogo[ReopenClosedItem].enabled) << "Reopen Closed greyed with nothing to reopen";
    // Each turn key makes its own choice, in either letter case (the pixels of each choice: the portable table).
    const std::pair<wchar_t, TurnChoice> keys[] = {{L'[', TurnChoice::Left}, {L']', TurnChoice::Right}, {L'h', TurnChoice::FlipHorizontal},
                                                   {L'V', TurnChoice::FlipVertical}, {L']', TurnChoice::Right}};
    for (const auto& [key, choice] : keys) {
        const Orientation before = w->Menu.Turn;
        w->OnChar(key);
        EXPECT_EQ(w->Menu.Turn, Turned(before, choice)) << static_cast<char>(key);
    }
}

// Ctrl+C's second format: a bottom-up 32-bit DIB whose alpha has a mask of its own, colours not premultiplied.
TEST_F(LogoTest, CopyPutsADibWithStraightAlphaBesideThePng) {
    const std::uint32_t argb[] = {0xFFC87828, 0x8000FF00, 0x00000000, 0xFF0000FF};  // top row, then bottom row
    const std::wstring png = Png(L"copy.png", 2, 2, reinterpret_cast<const std::uint8_t*>(argb));
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> rendered = LayeredPNGWindow().RenderedPixels(png, 1.0f, {}, {}, width, height);
    ASSERT_TRUE(Clipboard::CopyImage(nullptr, std::move(rendered), width, height) && OpenClipboard(nullptr));
    const HANDLE data = GetClipboardData(CF_DIBV5);
    const auto* dib = data ? static_cast<const BITMAPV5HEADER*>(GlobalLock(data)) : nullptr;
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(std::make_tuple(dib->bV5Width, dib->bV5Height, dib->bV5BitCount, dib->bV5Compression, dib->bV5AlphaMask, dib->bV5RedMask),
              std::make_tuple(2L, 2L, WORD{32}, DWORD{BI_BITFIELDS}, DWORD{0xFF000000}, DWORD{0xFF0000}));
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(dib + 1);
    EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 4), (std::vector<std::uint32_t>{argb[2], argb[3], argb[0], argb[1]}));
    GlobalUnlock(data);
    CloseClipboard();
}

}  // namespace velvane::testing
