#include <gtest/gtest.h>

#include "package/TempFiles.h"
#include "startup/CommandLine.h"
#include "support/FileListData.h"
#include "support/PushRecorder.h"
#include "support/TestImages.h"
#include "support/Windows.h"
#include "windows/LogoDropTarget.h"

namespace velvane::testing {
namespace {

using mMain::OpenLogo;

SIZE WindowSize(const FrmLogo* w) {
    const RECT r = ScreenRect(w->hWnd());
    return {r.right - r.left, r.bottom - r.top};
}

int CheckedIndex(const std::array<MenuItem, 11>& items) {
    for (int i = 0; i < 10; ++i)
        if (items[i].checked) return i;
    return -1;
}

int CheckedIndex(const std::array<MenuItem, 9>& items) {
    for (int i = 0; i < 8; ++i)
        if (items[i].checked) return i;
    return -1;
}

class BehaviourTest : public ImageWindowTest<412, 163> {
protected:
    FrmLogo* Open(float size = 1.0f, std::int16_t opacity = 100, const std::wstring& path = L"") {
        const std::size_t before = FrmLogo::Loaded().size();
        OpenLogo(path.empty() ? logo : path, false, false, false, true, CenterPos, CenterPos, opacity, size, false);
        return FrmLogo::Loaded().size() == before + 1 ? Newest() : nullptr;
    }

};

TEST_F(BehaviourTest, OpacityChoiceKeepsTheSizeAndRedrawsAtOnce) {
    FrmLogo* w = Open();
    ASSERT_NE(w, nullptr);
    w->OnSizeItem(4);  // "2"
    const RECT placed = ScreenRect(w->hWnd());
    PushRecorder recorder;
    w->OnOpacityItem(4);  // "50"
    EXPECT_EQ(recorder.Alphas(), std::vector<int>{127}) << "one push, no fade";
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuOpacity), 4);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuSize), 4);
    EXPECT_EQ(WindowSize(w).cx, 824);
    EXPECT_EQ(ScreenRect(w->hWnd()).left, placed.left);
    EXPECT_EQ(ScreenRect(w->hWnd()).top, placed.top);
    EXPECT_TRUE(IsTopMost(w->hWnd()));
}

TEST_F(BehaviourTest, SizeChoiceKeepsTheOpacityAndTheTopLeftCorner) {
    FrmLogo* w = Open(1.0f, 80);
    ASSERT_NE(w, nullptr);
    const RECT before = ScreenRect(w->hWnd());
    PushRecorder recorder;
    w->OnSizeItem(1);  // "1/3" is 0.333
    EXPECT_EQ(recorder.Alphas(), std::vector<int>{204});
    EXPECT_EQ(WindowSize(w).cx, 137);
    EXPECT_EQ(WindowSize(w).cy, 54);
    EXPECT_EQ(ScreenRect(w->hWnd()).left, before.left);
    EXPECT_EQ(ScreenRect(w->hWnd()).top, before.top);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuSize), 1);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuOpacity), 7);

    const SIZE presets[] = {{103, 41}, {137, 54}, {206, 82}, {412, 163}, {824, 326}, {1236, 489}, {1648, 652}};
    for (int i = 0; i < 7; ++i) {
        w->OnSizeItem(i);
        EXPECT_EQ(WindowSize(w).cx, presets[i].cx) << i;
        EXPECT_EQ(WindowSize(w).cy, presets[i].cy) << i;
    }
}

TEST_F(BehaviourTest, CustomFactorSurvivesOpacityAndHidesOnAnySizeClick) {
    FrmLogo* w = Open(1.5f);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowSize(w).cx, 618);
    w->OnOpacityItem(2);
    EXPECT_EQ(WindowSize(w).cx, 618) << "the factor is read back from the Custom tag";
    EXPECT_TRUE(w->Menu.InmnuSize[CustomSizeIndex].visible);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuSize), CustomSizeIndex);

    w->OnSizeItem(CustomSizeIndex);  // re-applies the factor, then the item is gone
    EXPECT_EQ(WindowSize(w).cx, 618);
    EXPECT_FALSE(w->Menu.InmnuSize[CustomSizeIndex].visible);

    FrmLogo* other = Open(2.0f);
    ASSERT_NE(other, nullptr);
    other->OnSizeItem(SizeOneIndex);
    EXPECT_FALSE(other->Menu.InmnuSize[CustomSizeIndex].visible);
    EXPECT_EQ(WindowSize(other).cx, 412);
}

TEST_F(BehaviourTest, PictureThatCannotBeMadeKeepsTheWindowAndItsMarks) {
    const std::wstring copy = scratch.File(L"copy.png");
    ASSERT_TRUE(CopyFileW(logo.c_str(), copy.c_str(), FALSE));
    FrmLogo* w = Open(1.0f, 100, copy);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(DeleteFileW(copy.c_str()));
    w->OnSizeItem(4);
    w->OnOpacityItem(0);
    EXPECT_EQ(WindowSize(w).cx, 412);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuSize), SizeOneIndex);
    EXPECT_EQ(CheckedIndex(w->Menu.InmnuOpacity), 9);

    const std::wstring thin = scratch.File(L"thin.png");  // 2 px high: "1/4" rounds to 0
    ASSERT_TRUE(WriteSolidPng(thin, 300, 2));
    FrmLogo* t = Open(1.5f, 100, thin);
    ASSERT_NE(t, nullptr);
    t->OnSizeItem(0);
    EXPECT_EQ(WindowSize(t).cx, 450);
    EXPECT_EQ(CheckedIndex(t->Menu.InmnuSize), CustomSizeIndex) << "marks move only with a new picture";
    EXPECT_TRUE(t->Menu.InmnuSize[CustomSizeIndex].visible);
}

TEST_F(BehaviourTest, TopMostAndMoveableBelongToOneWindow) {
    FrmLogo* a = Open();
    FrmLogo* b = Open();
    ASSERT_TRUE(a && b);
    a->OnLogoItem(TopMostItem);
    EXPECT_FALSE(a->Menu.InmnuLogo[TopMostItem].checked);
    EXPECT_FALSE(IsTopMost(a->hWnd()));
    EXPECT_TRUE(IsTopMost(b->hWnd()));
    for (HWND next = GetWindow(a->hWnd(), GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        EXPECT_FALSE(IsWindowVisible(next)) << "a visible window lies below";
    a->OnLogoItem(TopMostItem);
    EXPECT_TRUE(a->Menu.InmnuLogo[TopMostItem].checked);
    EXPECT_TRUE(IsTopMost(a->hWnd()));
    EXPECT_TRUE(IsTopMost(b->hWnd()));

    a->OnLogoItem(MoveableItem);
    EXPECT_FALSE(a->Menu.InmnuLogo[MoveableItem].checked);
    EXPECT_TRUE(b->Menu.InmnuLogo[MoveableItem].checked);
    a->OnLogoItem(MoveableItem);
    EXPECT_TRUE(a->Menu.InmnuLogo[MoveableItem].checked);
}

TEST_F(BehaviourTest, TopMostOffGoesBelowOrdinaryWindows) {
    HWND ordinary = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 380, 300, 300, 200, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(ordinary, nullptr);
    FrmLogo* w = Open();
    ASSERT_NE(w, nullptr);
    auto isBelow = [](HWND lower, HWND upper) {
        for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
            if (next == lower) return true;
        return false;
    };
    EXPECT_TRUE(isBelow(ordinary, w->hWnd()));
    w->OnLogoItem(TopMostItem);
    EXPECT_TRUE(isBelow(w->hWnd(), ordinary)) << "still above an ordinary window";
    w->OnLogoItem(TopMostItem);
    EXPECT_TRUE(isBelow(ordinary, w->hWnd()));
    DestroyWindow(ordinary);
}

TEST_F(BehaviourTest, MakeAllImagesIsOfferedOnlyForTwoImageWindows) {
    FrmLogo* a = Open();
    ASSERT_NE(a, nullptr);
    a->OnMouseDown(1);
    EXPECT_FALSE(a->Menu.InmnuLogo[MakeSingleExeAllItem].visible);
    mMain::ShowAbout();
    a->OnMouseDown(4);
    EXPECT_FALSE(a->Menu.InmnuLogo[MakeSingleExeAllItem].visible) << "the about window is no image";
    FrmLogo* b = Open();
    ASSERT_NE(b, nullptr);
    a->OnMouseDown(1);
    EXPECT_TRUE(a->Menu.InmnuLogo[MakeSingleExeAllItem].visible);
    a->Menu.InmnuLogo[MakeSingleExeItem].visible = false;  // as in a program file with a package
    a->OnMouseDown(1);
    EXPECT_FALSE(a->Menu.InmnuLogo[MakeSingleExeAllItem].visible);
}

TEST_F(BehaviourTest, EscAndDoubleClickCloseOneWindowOtherKeysNothing) {
    FrmLogo* a = Open();
    FrmLogo* b = Open();
    ASSERT_TRUE(a && b);
    const int ctrl = 2, shift = 1, alt = 4;
    b->OnKeyDown('X', ctrl | shift);
    b->OnKeyDown(VK_END, alt);
    b->OnKeyDown(VK_END, 0);
    b->OnKeyDown('X', 0);
    b->OnChar(L'x');
    EXPECT_EQ(FrmLogo::Loaded().size(), 2u);
    HWND bHwnd = b->hWnd();
    b->OnChar(27);
    EXPECT_FALSE(IsWindow(bHwnd));
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    a->OnDoubleClick();
    EXPECT_TRUE(FrmLogo::Loaded().empty());
}

TEST_F(BehaviourTest, DroppedListOpensEachExistingFileCentred) {
    const std::wstring second = scratch.File(L"second.png");
    ASSERT_TRUE(WriteSolidPng(second, 60, 40));
    const std::wstring text = scratch.File(L"readme.txt");
    ASSERT_TRUE(WriteTextFile(text, "words"));
    FrmLogo* target = Open(0.5f);
    ASSERT_NE(target, nullptr);

    std::vector<std::wstring> received;
    auto* dropTarget = new LogoDropTarget([&](std::vector<std::wstring> paths) { received = std::move(paths); });
    IDataObject* data = NewFileListData({logo, scratch.path(), scratch.File(L"gone.png"), text, second});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(dropTarget->DragEnter(data, MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(dropTarget->Drop(data, MK_LBUTTON, {0, 0}, &effect), S_OK);
    data->Release();
    dropTarget->Release();
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[4], second);

    target->OnFilesDropped(received);
    ASSERT_EQ(FrmLogo::Loaded().size(), 3u) << "one window per readable file, none for folders or missing files";
    EXPECT_EQ(WindowSize(target).cx, 206) << "the window that took the drop is unchanged";
    FrmLogo* first = FrmLogo::Loaded()[1];
    FrmLogo* last = FrmLogo::Loaded()[2];
    EXPECT_EQ(first->FileNamePath(), logo);
    EXPECT_EQ(ScreenRect(first->hWnd()).left, 306);
    EXPECT_EQ(last->FileNamePath(), second);
    EXPECT_TRUE(IsTopMost(last->hWnd()));
    EXPECT_EQ(CheckedIndex(last->Menu.InmnuOpacity), 9);
    EXPECT_EQ(last->OLEDropMode(), 1);
}

TEST_F(BehaviourTest, OnlyWindowsThatAcceptDropsAreRegistered) {
    FrmLogo* accepting = Open();
    OpenLogo(logo, false, false, /*DontDragActive*/ true, true, CenterPos, CenterPos, 100, 1.0f, false);
    FrmLogo* refusing = Newest();
    ASSERT_TRUE(accepting && refusing && accepting != refusing);
    auto* probe = new LogoDropTarget([](std::vector<std::wstring>) {});
    EXPECT_EQ(RegisterDragDrop(accepting->hWnd(), probe), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RegisterDragDrop(refusing->hWnd(), probe), S_OK);
    RevokeDragDrop(refusing->hWnd());
    probe->Release();
}

TEST_F(BehaviourTest, ClosingDeletesOnlyTheProgramsOwnTemporaryFiles) {
    // The program's own file: written where MakeTempFileName said.
    const std::wstring own = mMain::MakeTempFileName().value();
    ASSERT_TRUE(CopyFileW(logo.c_str(), own.c_str(), FALSE));
    // A user's image that happens to lie in the temporary folder, named the same way.
    const std::wstring users = mMain::GetTempFolder() + L"~ABC12.tmp";
    ASSERT_TRUE(CopyFileW(logo.c_str(), users.c_str(), FALSE));

    FrmLogo* a = Open(1.0f, 100, own);
    FrmLogo* b = Open(1.0f, 100, users);
    ASSERT_TRUE(a && b);
    a->Unload();
    b->Unload();
    EXPECT_FALSE(Exists(own));
    EXPECT_TRUE(Exists(users)) << "a user's image was deleted";
    DeleteFileW(users.c_str());
}

TEST_F(BehaviourTest, AboutWindowNeverShowsTheMenuAndClosingItAllowsANewOne) {
    FrmLogo* image = Open();
    mMain::ShowAbout();
    FrmLogo* about = Newest();
    ASSERT_TRUE(image && about && about->AboutMode());
    about->OnMouseDown(2);  // would block in the menu loop if it showed one
    about->Unload();
    EXPECT_FALSE(mMain::AboutOpen);
    EXPECT_EQ(FrmLogo::Loaded().size(), 1u) << "closing the about window leaves the images";
    image->OnLogoItem(AboutItem);
    EXPECT_TRUE(mMain::AboutOpen);
    EXPECT_EQ(FrmLogo::Loaded().size(), 2u);
}

}  // namespace
}  // namespace velvane::testing
