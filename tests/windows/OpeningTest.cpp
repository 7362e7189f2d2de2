#include "Fixture.h"

#include <shlobj.h>

#include <cstring>
#include <map>

#include "package/ProgramFile.h"
#include "windows/LogoDropTarget.h"

namespace velvane::testing {
namespace {

using Values = std::map<std::wstring, std::wstring>;

Values ListValues() {
    Values values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, LogoTest::ListKey().c_str(), 0, KEY_READ, &key)) return values;
    const ScopedRegKey owned(key);
    wchar_t name[64], data[64];
    for (DWORD i = 0, n = 64, bytes = sizeof data, type = 0;
         !RegEnumValueW(key, i, name, &n, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes); ++i, n = 64, bytes = sizeof data)
        values[name] = type == REG_SZ ? data : L"?";
    return values;
}
void SetListValue(const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
    RegSetKeyValueW(HKEY_CURRENT_USER, LogoTest::ListKey().c_str(), name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * 2));
}
std::wstring Text(const FrmLogo* w) { return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(w->hWnd()))); }

TEST_F(LogoTest, FailuresWhileOpeningLeaveNoHalfMadeWindowAndDamagedListsAreRepaired) {
    mMain::ShowAbout();  // with one image window open, closing it would end the program
    SetListValue(L"Count", L"32767");
    EXPECT_EQ(Open(logo), nullptr) << "a full list: no window";
    EXPECT_EQ(ListValues(), (Values{{L"Count", L"32767"}, {L"1", Text(FrmLogo::Loaded().back())}}));
    const std::wstring text = File(L"notes.png");
    WriteWholeFile(text, {});
    const struct { std::wstring path; float size; std::int16_t opacity; } refused[] = {
        {text, 1, 100}, {File(L"missing.png"), 1, 100}, {mMain::GetTempFolder(), 1, 100}, {logo, 1, 5}, {logo, 1, -20},
        {logo, 0, 100}, {logo, 1e30f, 100}, {logo, 0.001f, 100}};
    SetListValue(L"Count", L"1");
    for (const auto& r : refused) EXPECT_EQ(Open(r.path, r.size, r.opacity), nullptr) << r.size << " " << r.opacity;
    EXPECT_TRUE(mMain::AboutOpen && FrmLogo::Loaded().size() == 1);
    EXPECT_EQ(ListValues().count(L"2"), 0u) << "a window that never opened is listed";

    FrmLogo::Loaded()[0]->Unload();  // the about window: else closing the last image would end the program
    SetListValue(L"Count", L"lots");  // no number: rebuilt from the entries there
    SetListValue(L"1", L"42");
    FrmLogo* w = Open(logo);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ListValues(), (Values{{L"Count", L"2"}, {L"1", L"42"}, {L"2", Text(w)}}));
    SetListValue(L"Count", L"\x0102", REG_BINARY);  // no text
    w->Unload();
    EXPECT_EQ(ListValues(), (Values{{L"Count", L"1"}, {L"1", L"42"}}));
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

// Reading the file list and opening what can be read: the Paste journey, through the same code.
TEST_F(LogoTest, OnlyWindowsThatTakeDropsAreDropTargetsAndADropHandsOnItsFiles) {
    FrmLogo* taking = Open(logo);
    FrmLogo* refusing = Open(logo, 1, 100, false, /*dontDrag*/ true);
    std::vector<std::wstring> dropped;
    auto* target = new LogoDropTarget([&](std::vector<std::wstring> paths) { dropped = paths; });
    EXPECT_EQ(std::make_pair(RegisterDragDrop(refusing->hWnd(), target), RegisterDragDrop(taking->hWnd(), target)),
              std::make_pair(S_OK, DRAGDROP_E_ALREADYREGISTERED)) << "only windows that take drops are registered";
    RevokeDragDrop(refusing->hWnd());
    HGLOBAL files = GlobalAlloc(GHND, sizeof(DROPFILES) + (logo.size() + 2) * 2);  // a drop's file list, as the clipboard offers it
    auto* list = static_cast<DROPFILES*>(GlobalLock(files));
    *list = {sizeof(DROPFILES), {}, FALSE, TRUE};
    std::memcpy(list + 1, logo.c_str(), logo.size() * 2);
    GlobalUnlock(files);
    IDataObject* data = nullptr;
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_HDROP, files) && CloseClipboard() && OleGetClipboard(&data) == S_OK);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, {0, 0}, &effect) | target->Drop(data, MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(std::make_pair(effect, dropped), std::make_pair(DWORD{DROPEFFECT_COPY}, std::vector<std::wstring>{logo}));
    data->Release(), target->Release();
}

}  // namespace
}  // namespace velvane::testing
