#include "Fixture.h"

#include <map>

#include "app/EmbeddedPackage.h"
#include "app/PinSetFolders.h"
#include "core/OpenSetNames.h"
#include "core/PinSet.h"
#include "system/ProgramFile.h"
#include "system/RunningCopies.h"
#include "app/SingleExe.h"
#include "system/MessagePump.h"

namespace velvane::testing {

// This process's hidden window of that class.
static HWND OwnWindow(const wchar_t* cls) {
    DWORD pid = 0;
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, cls, nullptr)) && (GetWindowThreadProcessId(w, &pid), pid != GetCurrentProcessId())) {}
    return w;
}

static void RunMessagesFor(DWORD ms) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) DoEvents();
}

// Restores whose windows partly fail keep each window they did not open, judged one by one: one
// that shares the image of windows that opened (an image too large to be read with its set), one
// whose edge no screen holds (those after it still open). Two sets kept by one restore never
// overwrite each other.
TEST_F(LogoTest, RestoresKeepEveryWindowTheyDidNotOpen) {
    const std::wstring own = mMain::OwnPinSetPath(), folder = own.substr(0, own.rfind(L'\\') + 1), big = Bmp(L"big.bmp", 200, 100);
    for (const std::wstring& image : {big, big, Png(L"b.png", 60, 40), Png(L"c.png", 30, 20), big}) ASSERT_NE(Open(image), nullptr);
    std::optional<PackageBag> bag = mMain::PackWindows(nullptr, IDYES);
    ASSERT_TRUE(bag);
    bag->WriteValue(L"opacity2", std::int16_t{5});  // no Opacity item to mark: it cannot open
    bag->WriteValue(L"top3", 1e7f);
    const std::vector<std::uint8_t> set = MakePinSet(bag->SaveContents());
    for (std::uint32_t dead : {1, 2}) ASSERT_TRUE(WriteWholeFile(folder + OpenSetName({dead, dead}), {&set}, false));
    mMain::UnloadEveryWindow();
    EXPECT_TRUE(mMain::RestorePins(false));
    ASSERT_EQ(FrmLogo::Loaded().size(), 6u) << "windows 1, 4 and 5 of each set";
    for (int k : {0, 2, 3, 5}) EXPECT_EQ(ReadFileFrom(FrmLogo::Loaded()[k]->FileNamePath()), ReadFileFrom(big)) << "window " << k << ", whole";
    const std::vector<std::wstring> kept = mMain::FilesIn(folder, L"00000000-*.velvane");
    ASSERT_EQ(kept.size(), 2u) << "a set of what did not open, for each set";
    for (const std::wstring& name : kept) {
        const auto back = mMain::ReadPinSetFile(folder + name);
        EXPECT_TRUE(back && back->bag.Has(L"Ras2") && !back->bag.Has(L"Ras3") && ReadAs<float>(back->bag, L"top2") == 1e7f) << "windows 2 and 3";
        EXPECT_EQ(back->left.at(L"Ras1").length, ReadFileFrom(big)->size() + 1) << "the shared image, whole";
        DeleteFileW((folder + name).c_str());
    }
    EXPECT_TRUE(mMain::FilesIn(folder, L"0000000?-*.velvane*").empty()) << "the restored sets, taken over";
}

// A pinned file gone before its set held it: the set holds the picture its window showed. One
// stored empty (nothing of it kept) is written as soon as the file is back.
TEST_F(LogoTest, APinWhoseFileWentIsKeptAsItShowed) {
    const std::wstring own = mMain::OwnPinSetPath(), folder = own.substr(0, own.rfind(L'\\') + 1);
    const std::wstring gone = File(L"gone.png"), away = File(L"away.png");
    const auto restored = [&](const char* what) {
        EXPECT_TRUE(mMain::SavePinsNow() && CopyFileW(own.c_str(), (folder + OpenSetName({3, 3})).c_str(), FALSE)) << what;
        CopyFileW((own + L".settings").c_str(), (folder + OpenSetName({3, 3}) + L".settings").c_str(), FALSE);
        mMain::UnloadEveryWindow();
        mMain::RestorePins(false, /*what was open only*/ true);
        const std::vector<SIZE> sizes = [] { std::vector<SIZE> v; for (FrmLogo* w : FrmLogo::Loaded()) v.push_back(Size(w)); return v; }();
        mMain::UnloadEveryWindow();
        return sizes.size() == 1 && sizes[0].cx == 412 && sizes[0].cy == 163;
    };
    ASSERT_TRUE(CopyFileW(logo.c_str(), gone.c_str(), FALSE) && Open(gone));
    DeleteFileW(gone.c_str());
    EXPECT_TRUE(restored("the picture shown"));
    ASSERT_TRUE(CopyFileW(logo.c_str(), gone.c_str(), FALSE));
    FrmLogo* w = Open(gone);
    ASSERT_TRUE(w && MoveFileW(gone.c_str(), away.c_str()));
    SendMessageW(w->hWnd(), WM_TIMER, FrmLogo::kKeptPictureTimer, 0);  // nothing of the picture kept
    ASSERT_TRUE(mMain::SavePinsNow() && MoveFileW(away.c_str(), gone.c_str()));
    w->OnOpacityItem(4);  // a change of settings alone
    EXPECT_TRUE(restored("the file back"));
}

// Leftovers of sets being moved, the end of a session that the copy outlives, and a retired set
// whose write failed.
TEST_F(LogoTest, SetsBeingMovedTheSessionsEndAndRetiringAreKeptApart) {
    const std::wstring own = mMain::OwnPinSetPath(), folder = own.substr(0, own.rfind(L'\\') + 1);
    FrmLogo* w = Open(logo);
    ASSERT_TRUE(w && mMain::SavePinsNow());
    w->OnOpacityItem(4);
    ASSERT_TRUE(mMain::SavePinsNow() && Exists(own + L".settings"));
    // Claimed by a restore that runs, before its settings followed: they go with it, not away.
    const std::wstring set = folder + OpenSetName({8, 8}), claim = folder + ClaimName(OpenSetName({8, 8}), ThisCopy());
    ASSERT_TRUE(CopyFileW(own.c_str(), claim.c_str(), FALSE) && CopyFileW((own + L".settings").c_str(), (set + L".settings").c_str(), FALSE));
    mMain::RestorePins(false, true);
    EXPECT_TRUE(Exists(claim + L".settings") && !Exists(set + L".settings"));
    DeleteFileW(claim.c_str()), DeleteFileW((claim + L".settings").c_str());

    // The session ends, then the copy lives on: after a while it saves again.
    const HWND saver = OwnWindow(L"Velvane.PinSetSaver");
    const auto saved = ReadFileFrom(own + L".settings");
    SendMessageW(saver, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    w->OnOpacityItem(2);
    RunMessagesFor(1500);
    EXPECT_EQ(ReadFileFrom(own + L".settings"), saved) << "final while the session ends";
    ASSERT_TRUE(saver);
    SendMessageW(saver, WM_TIMER, 2, 0);  // the time the process had to end has passed
    RunMessagesFor(1500);
    EXPECT_NE(ReadFileFrom(own + L".settings"), saved) << "saving again";

    // A write that failed is not tried again once the set is retired: it would come back to Open.
    ASSERT_TRUE(CreateDirectoryW((own + L".settings.new").c_str(), nullptr));
    w->OnOpacityItem(6);
    EXPECT_FALSE(mMain::SavePinsNow());
    mMain::RetirePins();
    RemoveDirectoryW((own + L".settings.new").c_str());
    RunMessagesFor(4000);
    EXPECT_FALSE(Exists(own)) << "a retired set written again";
    mMain::StartNewPinSet();
}

}  // namespace velvane::testing
