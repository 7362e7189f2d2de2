#include "Fixture.h"

#include <set>

#include "system/ScreenShot.h"
#include "system/ProgramFile.h"
#include "system/RunningCopies.h"
#include "system/TopDownBitmap.h"
#include "system/WindowRegistry.h"
#include "system/MessagePump.h"

namespace velvane::testing {

// Hide All counts and hides pins only, and nothing else shows a hidden pin: not a choice made
// meanwhile, not being put on top again, not the end of its opening; what another program sends
// in a copy's name is passed over.
TEST_F(LogoTest, HideAllIsForPinsAndForCopiesOnly) {
    mMain::ShowAbout();
    FrmLogo* about = FrmLogo::Loaded().back();
    FrmLogo* pin = Open(logo);
    ASSERT_TRUE(pin);
    const auto shown = [&] { DoEvents(); return std::make_pair(IsWindowVisible(about->hWnd()) != 0, IsWindowVisible(pin->hWnd()) != 0); };
    for (bool expected : {false, true}) {
        mMain::HideOrShowAllRunning(mMain::Visibility::Toggle);
        DoEvents();
        pin->OnSizeItem(expected ? SizeOneIndex : 4), mMain::SetTopMost(*pin, -1);
        EXPECT_EQ(shown(), std::make_pair(true, expected)) << "Ctrl+Alt+H, the about window open";
    }
    DWORD shell = 0;
    GetWindowThreadProcessId(GetShellWindow() ? GetShellWindow() : GetDesktopWindow(), &shell);
    ASSERT_TRUE(shell && shell != GetCurrentProcessId() && !IsVelvaneOfThisUser(shell) && IsVelvaneOfThisUser(GetCurrentProcessId()));
    PostMessageW(pin->hWnd(), mMain::HideShowMessage(), 1, shell);
    EXPECT_EQ(shown(), std::make_pair(true, true)) << "hidden by another program";
    PushRecorder recorder;
    recorder.afterPush = [](HWND w) { PostMessageW(w, mMain::HideShowMessage(), 1, GetCurrentProcessId()); };
    FrmLogo* hidden = Open(logo);
    ASSERT_TRUE(hidden && hidden->Hidden());
    EXPECT_FALSE(IsWindowVisible(hidden->hWnd())) << "shown by the end of its opening";
    about->Unload();
}

// A click picks the window under the pointer as the screen showed it, passing over the desktop,
// windows that let clicks through and wholly clear ones.
TEST_F(LogoTest, AClickPicksAWindowThatShows) {
    const auto make = [](const wchar_t* cls, DWORD style, RECT r) {
        const WNDCLASSW wc{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, cls};
        RegisterClassW(&wc);
        const HWND w = CreateWindowExW(style, cls, L"", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        if (style & WS_EX_LAYERED) SetLayeredWindowAttributes(w, 0, 0, LWA_ALPHA);
        ShowWindow(w, SW_SHOWNA);  // not activated: Wine would then wait 2 s for each to go
        return w;
    };
    const HWND windows[] = {make(L"Progman", 0, {500, 400, 800, 600}), make(L"WorkerW", WS_EX_TOPMOST, {500, 400, 800, 600}),
                            make(L"Plain", 0, {100, 100, 300, 200}), make(L"Overlay", WS_EX_TOPMOST | WS_EX_LAYERED, {500, 400, 800, 600}),
                            make(L"Through", WS_EX_TOPMOST | WS_EX_TRANSPARENT, {500, 400, 800, 600})};
    const std::optional<capture::ScreenShot> shot = capture::ScreenShot::Take();
    for (HWND w : windows) DestroyWindow(w);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->WindowAt({150, 150}), (PixelRect{100, 100, 300, 200}));
    EXPECT_EQ(shot->WindowAt({600, 500}), (PixelRect{0, 0, 1024, 768})) << "the monitor, where no window shows";

    // A screen that begins left of and above the primary monitor: a part is taken from where it lies.
    void* bits = nullptr;
    const ScopedBitmap bitmap = TopDownBitmap(6, 4, bits);  // pixel (x, y) numbered 6 y + x
    for (std::uint32_t i = 0; i < 24; ++i) static_cast<std::uint32_t*>(bits)[i] = 0xFF000000u | i;
    const ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    const ScopedSelection selected(dc.get(), bitmap.get());
    SetWindowOrgEx(dc.get(), -300, -200, nullptr);
    const auto left = capture::ScreenShot::Take(dc.get(), {-300, -200, -294, -196});
    ASSERT_TRUE(left);
    const std::vector<std::uint8_t> part = left->Pixels({-299, -198, -297, -196});  // two across, two down
    const std::uint32_t expected[] = {0xFF000000u | 13, 0xFF000000u | 14, 0xFF000000u | 19, 0xFF000000u | 20};
    EXPECT_EQ(part, std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(expected), reinterpret_cast<const std::uint8_t*>(expected + 4)));
}

// The bitmap a window keeps is never deleted while a drawing's DC holds it: Windows would keep
// it then, width x height x 4 bytes each time, until the process ends.
static std::set<HDC> selectingDCs;
static int deletedWhileSelected = 0;
static ImportHook *selectHook = nullptr, *deleteHook = nullptr;
static HGDIOBJ WINAPI TrackSelect(HDC dc, HGDIOBJ object) {
    selectingDCs.insert(dc);
    return reinterpret_cast<decltype(&SelectObject)>(selectHook->real)(dc, object);
}
static BOOL WINAPI TrackDelete(HGDIOBJ object) {
    for (HDC dc : selectingDCs) deletedWhileSelected += GetObjectType(object) == OBJ_BITMAP && GetCurrentObject(dc, OBJ_BITMAP) == object;
    return reinterpret_cast<decltype(&DeleteObject)>(deleteHook->real)(object);
}

TEST_F(LogoTest, AKeptBitmapLeavesTheDrawingsDCBeforeItGoes) {
    ImportHook select(L"gdi32.dll", "SelectObject", reinterpret_cast<void*>(&TrackSelect));
    ImportHook remove(L"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&TrackDelete));
    selectHook = &select, deleteHook = &remove, deletedWhileSelected = 0;
    std::vector<std::uint8_t> truncated = ReadFileFrom(logo).value();
    truncated.resize(truncated.size() / 2);  // its header whole
    const std::wstring damaged = File(L"truncated.png");
    ASSERT_TRUE(WriteWholeFile(damaged, {&truncated}, false));
    EXPECT_EQ(Open(damaged), nullptr);
    PushRecorder recorder;  // the kept bitmap's time runs out while the window opens
    recorder.afterPush = [](HWND w) { PostMessageW(w, WM_TIMER, FrmLogo::kKeptSurfaceTimer, 0); };
    EXPECT_NE(Open(logo), nullptr);
    mMain::UnloadEveryWindow();
    EXPECT_EQ(deletedWhileSelected, 0);
}

}  // namespace velvane::testing
