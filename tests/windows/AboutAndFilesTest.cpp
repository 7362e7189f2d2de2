#include <gtest/gtest.h>

#include <set>

#include "common/ProgramTexts.h"
#include "package/OwnResources.h"
#include "package/ReadSettingsSlot.h"
#include "package/SettingsSlot.h"
#include "package/TempFiles.h"
#include "startup/FileExists.h"
#include "startup/Main.h"
#include "support/TestImages.h"
#include "support/Windows.h"

namespace velvane::testing {
namespace {

using namespace mMain;

TEST_F(LogoWindowTest, AboutOpensOnceAndItsTemporaryFileIsGone) {
    ShowAbout();
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    FrmLogo* about = Newest();
    EXPECT_TRUE(about->AboutMode());
    EXPECT_TRUE(AboutOpen);
    const RECT r = ScreenRect(about->hWnd());
    EXPECT_EQ(r.right - r.left, 412);
    EXPECT_EQ(r.bottom - r.top, 163);
    EXPECT_EQ(r.left, 306);
    EXPECT_FALSE(Exists(about->FileNamePath())) << "the about image's temporary file was left behind";
    EXPECT_EQ(about->FileNamePath().rfind(GetTempFolder(), 0), 0u);

    ShowAbout();
    EXPECT_EQ(FrmLogo::Loaded().size(), 1u);

    about->Unload();
    EXPECT_FALSE(AboutOpen);
}

TEST_F(LogoWindowTest, WithoutATemporaryFolderNothingOpensAndNothingFails) {
    wchar_t tmp[MAX_PATH] = L"", temp[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", L"C:\\no\\such\\folder");
    SetEnvironmentVariableW(L"TEMP", L"C:\\no\\such\\folder");
    EXPECT_FALSE(MakeTempFileName());
    ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_FALSE(AboutOpen);
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", temp);
}

TEST(ProgramResources, AboutImageAndPristineSlotAreBuiltIn) {
    const ResourceBytes image = FindOwnResource(AboutImageResource, AboutImageResource);
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data) + 1, 3), "PNG");
    const ResourceBytes upper = FindOwnResource(L"VV1A", L"vv1a");  // any letter case
    EXPECT_EQ(upper.data, image.data);

    const std::wstring slot = ReadSettingsSlot();
    EXPECT_EQ(slot, EmptySlotMarker);
    EXPECT_EQ(slot.size(), 1u);
}

TEST(TemporaryFiles, NamesAreFreshUpperCaseHexAndReserved) {
    const std::wstring folder = GetTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    std::set<std::wstring> names;
    for (int i = 0; i < 50; ++i) {
        const std::wstring name = MakeTempFileName().value();
        ASSERT_EQ(name.rfind(folder, 0), 0u);
        const std::wstring leaf = name.substr(folder.size());
        EXPECT_EQ(leaf.front(), L'~');
        EXPECT_EQ(leaf.substr(leaf.size() - 4), L".tmp");
        const std::wstring hex = leaf.substr(1, leaf.size() - 5);
        EXPECT_LE(hex.size(), 6u);
        EXPECT_TRUE(hex == L"0" || hex.front() != L'0') << hex;
        EXPECT_EQ(hex.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos) << hex;
        EXPECT_TRUE(Exists(name)) << "the name is not reserved";
        EXPECT_TRUE(IsOwnTempFile(name));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 50u);
    for (const std::wstring& name : names) {
        DeleteFileForced(name);
        EXPECT_FALSE(Exists(name));
        EXPECT_FALSE(IsOwnTempFile(name));
    }
}

TEST(TemporaryFiles, ResourceIsWrittenByteForByte) {
    ScratchFolder scratch;
    const std::wstring path = scratch.File(L"about.png");
    ASSERT_TRUE(SaveResourceToFile(L"Vv1a", L"Vv1a", path));
    const ResourceBytes image = FindOwnResource(L"VV1A", L"VV1A");
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(image.size + 10, '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ASSERT_EQ(read, image.size);
    EXPECT_EQ(bytes.substr(0, read), std::string(reinterpret_cast<const char*>(image.data), image.size));

    const std::wstring none = scratch.File(L"none.bin");
    EXPECT_FALSE(SaveResourceToFile(L"NOSUCH", L"NOSUCH", none));
    EXPECT_FALSE(Exists(none));
}

TEST(TemporaryFiles, ForcedDeletionTakesReadOnlyFilesAndIgnoresMissingOnes) {
    ScratchFolder scratch;
    const std::wstring path = scratch.File(L"locked.png");
    ASSERT_TRUE(WriteTextFile(path, "x"));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    DeleteFileForced(path);
    EXPECT_FALSE(Exists(path));
    DeleteFileForced(path);  // nothing to do, no failure
}

TEST(ProgramPath, NamesThisProgramWithExe) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(_wcsicmp(OwnExePath().c_str(), module), 0);
    EXPECT_EQ(OwnExePath().substr(OwnExePath().size() - 4), L".exe");
}

TEST(FileExistsTest, OnlyFilesCountAndSpacesAreTrimmed) {
    ScratchFolder scratch;
    const std::wstring file = scratch.File(L"a b.png");
    ASSERT_TRUE(WriteTextFile(file, "x"));
    const std::wstring hidden = scratch.File(L"hidden.png");
    ASSERT_TRUE(WriteTextFile(hidden, "x"));
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(L"  " + file + L"  "));
    EXPECT_TRUE(FileExists(hidden));
    EXPECT_TRUE(FileExists(scratch.File(L"*.png")));
    EXPECT_FALSE(FileExists(scratch.path()));
    EXPECT_FALSE(FileExists(scratch.File(L"missing.png")));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(L"   "));
    EXPECT_FALSE(FileExists(L"opacity50 size0.5 |<>"));
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CommandLineText, ProgramNameIsCutOff) {
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Velvane.exe\" \"c:\\a.png\" about"), L"\"c:\\a.png\" about");
    EXPECT_EQ(ArgumentText(L"Velvane.exe   left300"), L"left300");
    EXPECT_EQ(ArgumentText(L"Velvane.exe"), L"");
    EXPECT_EQ(ArgumentText(L"\"Velvane.exe\""), L"");
    EXPECT_EQ(ArgumentText(nullptr), L"");
}

}  // namespace
}  // namespace velvane::testing
