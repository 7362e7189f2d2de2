#include <gtest/gtest.h>

#include "package/EmbeddedPackage.h"
#include "package/PackageBag.h"
#include "package/ProgramFile.h"
#include "package/SingleExe.h"
#include "package/TempFiles.h"
#include "startup/CommandLine.h"
#include "support/TestImages.h"
#include "support/Windows.h"

namespace velvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr double kOffset = 1000;  // the stand-in program part

class PackageTest : public LogoWindowTest {
protected:
    void SetUp() override {
        LogoWindowTest::SetUp();
        const std::wstring png = scratch.File(L"image.png");
        ASSERT_TRUE(WriteSolidPng(png, 60, 40));
        image = *ReadFileFrom(png);
        stored = image;
        stored.push_back(0);
    }

    // A bag with images that open at (20, 10) px, 50 %, size 2 when the answer is Yes.
    PackageBag Bag(std::int32_t answer, int images) {
        PackageBag bag;
        bag.WriteValue(L"Ras", answer);
        for (int k = 1; k <= images; ++k) {
            const std::wstring n = std::to_wstring(k);
            if (k == 1) bag.WriteValue(L"Ras" + n, stored);
            else bag.WriteValue(L"Ras" + n, std::wstring(L"Ras1Ras"));
            bag.WriteValue(L"top" + n, 150.0f);
            bag.WriteValue(L"left" + n, 300.0f);
            bag.WriteValue(L"dontontop" + n, true);
            bag.WriteValue(L"dontmoveable" + n, true);
            bag.WriteValue(L"opacity" + n, std::int16_t{50});
            bag.WriteValue(L"size" + n, 2.0);
        }
        return bag;
    }

    std::wstring ProgramWith(const Bytes& tail) {
        const std::wstring path = scratch.File(L"copy" + std::to_wstring(++files) + L".exe");
        const Bytes program(static_cast<std::size_t>(kOffset), 'x');
        EXPECT_TRUE(WriteWholeFile(path, {&program, &tail}));
        return path;
    }

    std::vector<std::wstring> Load(const Bytes& tail, double offset = kOffset, bool dontDrag = false) {
        return mMain::LoadPackageFromFile(ProgramWith(tail), offset, dontDrag, true);
    }

    static Bytes Record(const PackageBag& bag) { return MakePackageRecord(bag.SaveContents()); }

    ScratchFolder scratch;
    Bytes image, stored;
    int files = 0;
};

TEST_F(PackageTest, StoredSettingsApplyWithYes) {
    const auto written = Load(Record(Bag(6, 2)), kOffset, /*dontDrag*/ true);
    ASSERT_EQ(written.size(), 2u);
    ASSERT_EQ(FrmLogo::Loaded().size(), 2u);
    for (FrmLogo* w : FrmLogo::Loaded()) {
        const RECT r = ScreenRect(w->hWnd());
        EXPECT_EQ(r.left, 20);
        EXPECT_EQ(r.top, 10);
        EXPECT_EQ(r.right - r.left, 120);
        EXPECT_FALSE(IsTopMost(w->hWnd()));
        EXPECT_FALSE(w->Menu.InmnuLogo[MoveableItem].checked);
        EXPECT_TRUE(w->Menu.InmnuOpacity[4].checked);
        EXPECT_EQ(w->OLEDropMode(), 0) << "the command line's dontdragactive still applies";
        EXPECT_EQ(*ReadFileFrom(w->FileNamePath()), image) << "n + 1 stored bytes give the file's n";
    }
    EXPECT_NE(written[0], written[1]) << "a reference is written to a file of its own";
    const std::wstring first = written[0];
    FrmLogo::Loaded().front()->Unload();
    EXPECT_FALSE(Exists(first)) << "closing the window deletes its temporary file";
}

TEST_F(PackageTest, StoredSettingsAreIgnoredWithNo) {
    ASSERT_EQ(Load(Record(Bag(7, 1))).size(), 1u);
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    FrmLogo* w = Newest();
    EXPECT_EQ(ScreenRect(w->hWnd()).left, (1024 - 60) / 2);
    EXPECT_TRUE(IsTopMost(w->hWnd()));
    EXPECT_TRUE(w->Menu.InmnuLogo[MoveableItem].checked);
    EXPECT_TRUE(w->Menu.InmnuOpacity[9].checked);
}

TEST_F(PackageTest, StoredValuesAreReadByValueWhateverTheirKind) {
    PackageBag bag = Bag(6, 2);
    bag.WriteValue(L"Ras", std::wstring(L"6"));
    bag.WriteValue(L"Ras2", std::wstring(L"Ras1.5Ras"));  // image 1: its leading digits
    bag.WriteValue(L"top1", 150.0);
    bag.WriteValue(L"opacity1", std::int32_t{50});
    bag.WriteValue(L"dontontop2", std::int16_t{-1});
    bag.WriteValue(L"size2", 2.0f);
    ASSERT_EQ(Load(Record(bag)).size(), 2u);
    ASSERT_EQ(FrmLogo::Loaded().size(), 2u);
    for (FrmLogo* w : FrmLogo::Loaded()) {
        EXPECT_EQ(ScreenRect(w->hWnd()).top, 10);
        EXPECT_EQ(ScreenRect(w->hWnd()).right - ScreenRect(w->hWnd()).left, 120);
        EXPECT_FALSE(IsTopMost(w->hWnd()));
        EXPECT_TRUE(w->Menu.InmnuOpacity[4].checked);
    }
}

TEST_F(PackageTest, DamagedHeadersOpenNothing) {
    const Bytes good = Record(Bag(6, 1));
    Bytes truncated(good.begin(), good.end() - 5);
    Bytes lengthPastEnd = good;
    lengthPastEnd[4] = 0xff;
    lengthPastEnd[5] = 0xff;
    PackageBag textAnswer = Bag(6, 1);
    textAnswer.WriteValue(L"Ras", std::wstring(L"six"));
    PackageBag noAnswer;
    noAnswer.WriteValue(L"Ras1", stored);
    const Bytes garbage(300, 0x5a);
    for (const Bytes& tail : {truncated, lengthPastEnd, Record(textAnswer), Record(noAnswer), garbage, Bytes{}}) {
        EXPECT_TRUE(Load(tail).empty());
        EXPECT_TRUE(FrmLogo::Loaded().empty());
    }
    EXPECT_TRUE(Load(good, kOffset + 5000).empty()) << "an offset past the end";
    EXPECT_TRUE(Load(good, -1).empty());
    EXPECT_TRUE(Load(Record(Bag(6, 0))).empty()) << "a package without images";
    EXPECT_TRUE(FrmLogo::Loaded().empty());
}

TEST_F(PackageTest, TopBeyondSixteenBitsStopsTheListThere) {
    PackageBag bag = Bag(6, 3);
    bag.WriteValue(L"top2", 33000.0f);
    const auto written = Load(Record(bag));
    EXPECT_EQ(written.size(), 2u) << "image 2's file was written, image 3 not reached";
    EXPECT_EQ(FrmLogo::Loaded().size(), 1u);
    EXPECT_FALSE(Exists(written[1])) << "a file no window shows is not left behind";
}

TEST_F(PackageTest, BrokenImageEntriesEndTheListWithoutHarm) {
    PackageBag wrongKind = Bag(6, 2);
    wrongKind.WriteValue(L"Ras2", std::int32_t{5});
    EXPECT_EQ(Load(Record(wrongKind)).size(), 1u);
    CloseEveryWindow();

    PackageBag danglingReference = Bag(6, 2);
    danglingReference.WriteValue(L"Ras2", std::wstring(L"Ras9Ras"));
    EXPECT_EQ(Load(Record(danglingReference)).size(), 1u);
    CloseEveryWindow();

    PackageBag notAnImage = Bag(7, 2);
    notAnImage.WriteValue(L"Ras1", Bytes{'n', 'o', 0});  // opens nothing, and the list goes on
    const auto written = Load(Record(notAnImage));
    ASSERT_EQ(written.size(), 2u) << "a file that opens no window does not stop the list";
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_FALSE(Exists(written[0]));
    EXPECT_FALSE(Exists(written[1]));

    PackageBag missingOpacity = Bag(6, 1);
    PackageBag rebuilt;
    for (const auto& [name, value] : missingOpacity.Entries())
        if (name != L"opacity1") rebuilt.WriteValue(name, value);
    EXPECT_EQ(Load(Record(rebuilt)).size(), 1u);
    EXPECT_TRUE(FrmLogo::Loaded().empty());
}

TEST_F(PackageTest, BuiltCopyCarriesTheWindowsAndOpensThemAgain) {
    const std::wstring png = scratch.File(L"image.png");
    mMain::OpenLogo(png, true, false, false, true, 150, 300, 30, 1.5f, false);
    mMain::OpenLogo(scratch.File(L"IMAGE.PNG"), false, true, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    mMain::ShowAbout();
    mMain::OpenLogo(png, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    ASSERT_EQ(FrmLogo::Loaded().size(), 4u);
    FrmLogo* closedDuringQuestion = FrmLogo::Loaded().back();
    FrmLogo::Loaded()[1]->OnSizeItem(1);  // "1/3"
    const std::wstring out = scratch.File(L"built.exe");
    ASSERT_TRUE(mMain::WriteSelfContainedCopy(nullptr, true, [&] { closedDuringQuestion->Unload(); return 6; }, out));
    std::vector<const FrmLogo*> all(FrmLogo::Loaded().begin(), FrmLogo::Loaded().end());
    std::vector<std::pair<RECT, bool>> before;
    for (const FrmLogo* w : all)
        if (!w->AboutMode()) before.push_back({ScreenRect(w->hWnd()), IsTopMost(w->hWnd())});
    CloseEveryWindow();

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const auto programLength = ReadFileFrom(self)->size();
    const auto built = ReadFileFrom(out);
    ASSERT_TRUE(built);
    const auto bag = ReadPackageRecord(built->data() + programLength, built->size() - programLength);
    PackageBag package;
    package.LoadContents(bag);
    EXPECT_EQ(ReadAs<std::wstring>(package, L"Ras2"), L"Ras1Ras");
    EXPECT_FALSE(package.Has(L"Ras3")) << "the about window is not stored";
    EXPECT_EQ(ReadAs<double>(package, L"size1"), 1.5);
    EXPECT_EQ(ReadAs<double>(package, L"size2"), 0.333) << "a preset is stored as its own value";
    EXPECT_EQ(ReadAs<std::int16_t>(package, L"opacity1"), 30);

    ASSERT_EQ(mMain::LoadPackageFromFile(out, static_cast<double>(programLength), false, true).size(), 2u);
    ASSERT_EQ(FrmLogo::Loaded().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const RECT r = ScreenRect(FrmLogo::Loaded()[i]->hWnd());
        EXPECT_EQ(r.left, before[i].first.left) << i;
        EXPECT_EQ(r.top, before[i].first.top) << i;
        EXPECT_EQ(r.right, before[i].first.right) << i;
        EXPECT_EQ(IsTopMost(FrmLogo::Loaded()[i]->hWnd()), before[i].second) << i;
    }
    EXPECT_FALSE(mMain::WriteSelfContainedCopy(nullptr, true, [] { return 6; }, out))
        << "an existing file is never overwritten";
}

TEST_F(PackageTest, ImageThatVanishedFailsTheBuildAndLeavesNoFile) {
    const std::wstring png = scratch.File(L"gone.png");
    ASSERT_TRUE(WriteSolidPng(png, 30, 30));
    mMain::OpenLogo(png, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    ASSERT_TRUE(DeleteFileW(png.c_str()));
    const std::wstring out = scratch.File(L"built.exe");
    EXPECT_FALSE(mMain::WriteSelfContainedCopy(nullptr, true, [] { return 6; }, out));
    EXPECT_FALSE(Exists(out));
}

}  // namespace
}  // namespace velvane::testing
