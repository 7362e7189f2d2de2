#include "../portable/Rows.h"
#include "Fixture.h"

#include <array>
#include <cstring>

#include "app/EmbeddedPackage.h"
#include "core/PackageBag.h"
#include "system/ProgramFile.h"
#include "core/OpenSetNames.h"
#include "core/PinSet.h"
#include "app/PinSetFiles.h"
#include "app/PinSetStore.h"
#include "system/RunningCopies.h"
#include "app/SingleExe.h"
#include "app/SignIn.h"

namespace velvane::testing {

// The list as "Count|1|2|3": "~" for a value that is not there, "?" for one that is no text.
static std::wstring Listed() {
    std::wstring text;
    for (const wchar_t* name : {L"Count", L"1", L"2", L"3"}) {
        wchar_t data[64];
        DWORD bytes = sizeof data, type = 0;
        const bool found = !RegGetValueW(HKEY_CURRENT_USER, LogoTest::ListKey().c_str(), name, RRF_RT_ANY, &type, data, &bytes);
        text += std::wstring(text.empty() ? L"" : L"|") + (!found ? L"~" : type == REG_SZ ? data : L"?");
    }
    return text;
}
static void SetListValue(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, LogoTest::ListKey().c_str(), name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * 2));
}
static std::wstring Text(const FrmLogo* w) { return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(w->hWnd()))); }

TEST_F(LogoTest, FailuresWhileOpeningLeaveNoHalfMadeWindowAndDamagedListsAreRepaired) {
    mMain::ShowAbout();  // with one image window open, closing it would end the program
    // A crashed copy's count far beyond its entries, one of them naming a window gone since: repaired, not filled.
    const HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    SetListValue(L"Count", L"32767");
    SetListValue(L"2", std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(gone))));
    FrmLogo* listed = Open(logo);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(Listed(), L"2|" + Text(FrmLogo::Loaded()[0]) + L"|" + Text(listed) + L"|~");
    listed->Discard(true);  // not Unload: the last image closing beside the about window ends the program
    const std::wstring text = File(L"notes.png"), wide = Bmp(L"wide.bmp", 65536, 2);  // GDI+ reads it; wider than the program takes
    WriteWholeFile(text, {});
    const struct { std::wstring path; float size; std::int16_t opacity; } refused[] = {
        {text, 1, 100}, {wide, 0.5f, 100}, {File(L"missing.png"), 1, 100}, {mMain::GetTempFolder(), 1, 100}, {logo, 1, 5}, {logo, 1, -20},
        {logo, 0, 100}, {logo, 1e30f, 100}, {logo, 0.001f, 100}};
    SetListValue(L"Count", L"1");
    for (const auto& r : refused) EXPECT_EQ(Open(r.path, r.size, r.opacity), nullptr) << r.size << " " << r.opacity;
    EXPECT_TRUE(mMain::AboutOpen && FrmLogo::Loaded().size() == 1);
    EXPECT_EQ(Listed(), L"1|" + Text(FrmLogo::Loaded().back()) + L"|~|~") << "a window that never opened is listed";
}

// A program file whose package holds a 60 x 40 image at each (top, left) in twips, the first stored,
// the others referring to it, with these entries written over or added.
static std::vector<std::uint8_t> Package(const std::wstring& png, std::vector<std::pair<float, float>> places,
                                         std::vector<std::pair<std::wstring, PackageValue>> changes = {}) {
    std::vector<std::uint8_t> image = *ReadFileFrom(png);
    image.push_back(0);  // stored with a byte more, as the program writes it
    PackageBag bag;
    bag.WriteValue(L"Ras", std::int32_t{6});
    for (std::size_t k = 1; k <= places.size(); ++k) {
        const std::wstring n = std::to_wstring(k);
        const std::pair<const wchar_t*, PackageValue> entries[] = {{L"Ras", k == 1 ? PackageValue(image) : std::wstring(L"Ras1.5Ras")},
            {L"top", places[k - 1].first}, {L"left", places[k - 1].second}, {L"dontontop", false}, {L"dontmoveable", false},
            {L"opacity", std::int16_t{100}}, {L"size", 1.0}};
        for (const auto& [name, value] : entries) bag.WriteValue(name + n, value);
    }
    for (const auto& [name, value] : changes) bag.WriteValue(name, value);
    return MakePackageRecord(bag.SaveContents());
}

// Damaged records and bags are the package's own tests; a copy that opens nothing shows the about window (the copies journey).
TEST_F(LogoTest, PackagesOpenWhatTheyCanAndStopWhereTheyCannot) {
    const std::wstring png = Png(L"small.png", 60, 40), program = File(L"program.exe");
    using Places = std::vector<std::array<long, 4>>;  // left, top, width, height
    const struct { const char* label; std::vector<std::uint8_t> record; Places shown; } rows[] = {
        {"sound", Package(png, {{150, 300}, {150, 3300}}), {{20, 10, 60, 40}, {220, 10, 60, 40}}},
        {"values of other kinds, read by value", Package(png, {{0, 300}}, {{L"Ras", std::wstring(L" 6 ")}, {L"top1", 150.0},
            {L"opacity1", std::int32_t{100}}, {L"dontontop1", std::int16_t{-1}}, {L"dontmoveable1", std::wstring(L"False")}, {L"size1", 2.0f}}),
         {{20, 10, 120, 80}}},
        {"No to the settings: centred, at size 1", Package(png, {{150, 300}, {150, 3300}}, {{L"Ras", std::int32_t{7}}}),
         {{482, 364, 60, 40}, {482, 364, 60, 40}}},
        {"edges beyond 16-bit twips are read (a monitor gone since: brought onto the nearest); beyond any screen they end the list",
         Package(png, {{150, 300}, {33000, 45000}, {1e7f, 0}, {150, 600}}), {{20, 10, 60, 40}, {964, 728, 60, 40}}},
        {"a reference to no image ends the list there", Package(png, {{150, 300}, {150, 3300}}, {{L"Ras2", std::wstring(L"Ras9Ras")}}),
         {{20, 10, 60, 40}}},
        {"the answer as a word", Package(png, {{150, 300}}, {{L"Ras", std::wstring(L"six")}}), {}}};
    for (const auto& r : rows) {
        ASSERT_TRUE(WriteWholeFile(program, {&r.record}, /*over the one there*/ Exists(program)));
        const std::vector<std::wstring> written = mMain::LoadPackageFromFile(program, 0, false, true);
        Places shown;
        for (const FrmLogo* w : FrmLogo::Loaded()) shown.push_back({Rect(w).left, Rect(w).top, Size(w).cx, Size(w).cy});
        EXPECT_EQ(shown, r.shown) << r.label;
        mMain::UnloadEveryWindow();
        for (const std::wstring& file : written) EXPECT_FALSE(Exists(file)) << r.label << ": a temporary image left behind";
    }
}

// A copy, or a pin set, made of a window whose every mark was changed (and what was drawn on it) brings the window back with each.
TEST_F(LogoTest, CopiesAndPinSetsBringEveryMarkBack) {
    FrmLogo* w = Open(logo, 1.5f, 30, /*dontOnTop*/ true);
    ASSERT_NE(w, nullptr);
    w->OnLogoItem(MoveableItem);
    w->Marks.Add({MarkTool::Arrow, 0x0063D1, 4, {{10, 10}, {150, 90}}, L""});
    w->Marks.Add({MarkTool::Crop, 0, 1, {{0, 0}, {200, 100}}, L""});
    w->OnTurnItem(static_cast<int>(TurnChoice::FlipHorizontal));
    const std::wstring program = File(L"program.exe"), copy = File(L"copy.exe");
    const std::vector<std::uint8_t> part(1000, 'x');  // the program's own bytes: the package follows them
    ASSERT_TRUE(WriteWholeFile(program, {&part}) && mMain::WriteSelfContainedCopy(w->hWnd(), false, [] { return IDYES; }, copy, program));
    const auto marks = [](const FrmLogo* x) {
        return std::make_tuple(Rect(x).left, Rect(x).top, Size(x).cx, x->Menu.InmnuLogo[TopMostItem].checked, x->Menu.InmnuLogo[MoveableItem].checked,
                               Checked(x->Menu.InmnuOpacity), Checked(x->Menu.InmnuSize), x->Menu.InmnuSize[CustomSizeIndex].tag, x->Menu.Turn.Code(),
                               x->Marks.Encode());
    };
    EXPECT_EQ(marks(w), std::make_tuple(Rect(w).left, Rect(w).top, 300L, false, false, 2, int{CustomSizeIndex}, std::wstring(L"1.5"), std::int16_t{4},
                                        w->Marks.Encode()));
    EXPECT_EQ(w->Marks.Marks().size(), 2u) << "the drawing, cropped";
    const auto before = marks(w);
    const std::wstring pins = File(L"pins.velvane");
    ASSERT_TRUE(mMain::WritePinSet(pins) && mMain::IsPinSetFile(pins) && !mMain::IsPinSetFile(copy));
    for (const auto& open : std::initializer_list<std::function<void()>>{[&] { mMain::LoadPackageFromFile(copy, 1000, false, true); },
                                                                        [&] { mMain::OpenPinSet(pins, false, true); }}) {
        mMain::UnloadEveryWindow();
        open();
        ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
        EXPECT_EQ(marks(FrmLogo::Loaded()[0]), before);
    }
}

// Sets that cannot be had whole: an image file gone, a write that fails once; claims left by
// restores, dead or alive, and a set half written beside. (Windows that do not open: PinSetTest.)
TEST_F(LogoTest, PinSetsKeepWhatCannotBeReadAndRestoresKeepWhatCannotOpen) {
    // An image too large to be read into memory with its set: it is streamed to and from the set's file.
    const std::wstring a = Bmp(L"a.bmp", 200, 100), own = mMain::OwnPinSetPath(), folder = own.substr(0, own.rfind(L'\\') + 1);
    const std::vector<std::uint8_t> bmp = ReadFileFrom(a).value();
    FrmLogo* w = Open(a, 1, 50);
    const Mark line{MarkTool::Line, 0, 3, {{1, 1}, {50, 50}}, L""};
    ASSERT_TRUE(w && w->Marks.Add(line) && Open(Png(L"b.png", 60, 40)) && mMain::SavePinsNow());
    const std::vector<std::uint8_t> saved = ReadFileFrom(own).value_or(std::vector<std::uint8_t>(40, 'x'));
    w->Marks.Add(line);  // the marks, too, are settings: the later ones, in the settings alone
    w->OnOpacityItem(9);
    EXPECT_TRUE(mMain::SavePinsNow() && ReadFileFrom(own) == saved) << "settings alone: the images are not written again";
    const auto read = mMain::ReadSetWithSettings(own);
    const auto* marks = read && read->bag.Has(L"marks1") ? std::get_if<std::vector<std::uint8_t>>(&read->bag.ReadValue(L"marks1")) : nullptr;
    EXPECT_EQ(marks ? PinMarks::Decode(marks->data(), marks->size()).value_or(PinMarks{}).Marks().size() : 0u, 2u) << "the later marks, from the settings";
    DeleteFileW(a.c_str());
    ASSERT_TRUE(Open(logo, 0.5f));
    EXPECT_TRUE(mMain::SavePinsNow()) << "a pinned file gone holds the set back";

    const auto restoreAs = [&](const std::wstring& name, std::size_t windows, const char* what) {
        ASSERT_TRUE(CopyFileW(own.c_str(), (folder + name).c_str(), FALSE)) << what;
        CopyFileW((own + L".settings").c_str(), (folder + name + L".settings").c_str(), FALSE);
        mMain::UnloadEveryWindow();
        EXPECT_TRUE(mMain::RestorePins(false)) << what;
        EXPECT_EQ(FrmLogo::Loaded().size(), windows) << what;
        EXPECT_FALSE(Exists(folder + name)) << what << ": taken over";
    };
    restoreAs(OpenSetName({1, 1}), 3, "a dead copy's set");
    EXPECT_EQ(Checked(FrmLogo::Loaded()[0]->Menu.InmnuOpacity), 9) << "the gone file's pin, with the settings written after its image";
    EXPECT_TRUE(ReadFileFrom(FrmLogo::Loaded()[0]->FileNamePath()) == bmp) << "the gone file's bytes, whole";
    restoreAs(ClaimName(OpenSetName({2, 2}), {3, 3}), 3, "a claim whose restore died");
    // A set written beside whose copy died before moving it over, and settings whose set is gone.
    const std::wstring halfDone = folder + OpenSetName({4, 4}), orphan = folder + OpenSetName({7, 7}) + L".settings";
    ASSERT_TRUE(CopyFileW(own.c_str(), (halfDone + L".new").c_str(), FALSE) && CopyFileW(own.c_str(), orphan.c_str(), FALSE));
    mMain::UnloadEveryWindow();
    EXPECT_TRUE(mMain::RestorePins(false) && FrmLogo::Loaded().size() == 3) << "the set beside, folded back";
    EXPECT_FALSE(Exists(halfDone + L".new") || Exists(halfDone) || Exists(orphan));

    // A live restore's claim: a second restore opens nothing more, and leaves it.
    DWORD shell = 0;  // a process that runs: Wine's desktop
    GetWindowThreadProcessId(GetDesktopWindow(), &shell);
    const std::wstring live = folder + ClaimName(OpenSetName({5, 5}), OwnerOfProcess(shell));
    ASSERT_TRUE(mMain::SavePinsNow() && CopyFileW(own.c_str(), live.c_str(), FALSE));
    EXPECT_TRUE(mMain::RestorePins(false) && FrmLogo::Loaded().size() == 3 && Exists(live));
    DeleteFileW(live.c_str());

    // A write that fails (something holds the place beside) is tried again within seconds, unasked.
    const std::wstring beside = own + L".new";
    ASSERT_TRUE(CreateDirectoryW(beside.c_str(), nullptr) && Open(logo, 0.25f));
    const auto before = ReadFileFrom(own);
    EXPECT_FALSE(mMain::SavePinsNow()) << "cannot write beside";
    EXPECT_EQ(ReadFileFrom(own), before) << "the set stays as it was";
    RemoveDirectoryW(beside.c_str());
    const auto start = std::chrono::steady_clock::now();
    while (ReadFileFrom(own) == before && std::chrono::steady_clock::now() - start < std::chrono::seconds(8)) Sleep(100);
    EXPECT_NE(ReadFileFrom(own), before) << "not tried again";

    // "Open at Sign-in": the Run value an earlier version wrote is taken to the current words. (Set and cleared
    // from the menu: the habits journey.)
    const wchar_t* runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring program = L"\"" + mMain::OwnExePath() + L"\" ";
    for (const wchar_t* earlier : {L"restore", L"restore signin"}) {
        const std::wstring value = program + earlier;
        RegSetKeyValueW(HKEY_CURRENT_USER, runKey, mMain::SettingsSection.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * 2));
        EXPECT_TRUE(mMain::OpensAtSignIn()) << "an earlier version's value";
        wchar_t text[600] = L"";
        DWORD bytes = sizeof text;
        RegGetValueW(HKEY_CURRENT_USER, runKey, mMain::SettingsSection.c_str(), RRF_RT_REG_SZ, nullptr, text, &bytes);
        EXPECT_EQ(text, program + L"tray restore signin") << "taken to the current words";
    }
}

TEST_F(LogoTest, OnlyTheProgramsOwnTemporaryFilesAreDeleted) {
    mMain::ShowAbout();
    EXPECT_FALSE(Exists(FrmLogo::Loaded().back()->FileNamePath())) << "the about image's file was left behind";
    FrmLogo::Loaded().back()->Unload();  // else closing the last image would end the program
    const std::wstring own = mMain::MakeTempFileName().value(), users = mMain::GetTempFolder() + L"~ABC12.tmp";  // named alike
    ASSERT_TRUE(CopyFileW(logo.c_str(), own.c_str(), FALSE) && CopyFileW(logo.c_str(), users.c_str(), FALSE));
    for (const std::wstring& path : {own, users}) ASSERT_NE(Open(path), nullptr);
    mMain::UnloadEveryWindow();
    EXPECT_FALSE(Exists(own));
    EXPECT_TRUE(Exists(users) && Exists(logo)) << "a user's image was deleted";
    EXPECT_TRUE(!WriteWholeFile(users, {}) && Exists(users)) << "a new file went over a user's one";
    DeleteFileW(users.c_str());
    SetEnvironmentVariableW(L"TMP", L"C:\\no\\such\\folder");
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty() && !mMain::AboutOpen) << "no folder for the about image: nothing opens";
    SetEnvironmentVariableW(L"TMP", nullptr);
}

}  // namespace velvane::testing
