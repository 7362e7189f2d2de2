#include <gtest/gtest.h>

#include <map>

#include "startup/CommandLine.h"
#include "startup/WindowRegistry.h"
#include "support/TestImages.h"
#include "support/Windows.h"
#include "windows/MessagePump.h"

namespace velvane::testing {
namespace {

std::map<std::wstring, std::wstring> ListValues() {
    std::map<std::wstring, std::wstring> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ScopedListSection::KeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    ScopedRegKey owned(key);
    for (DWORD i = 0;; ++i) {
        wchar_t name[64];
        wchar_t data[128] = L"";
        DWORD nameLength = 64, dataBytes = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes) !=
            ERROR_SUCCESS)
            break;
        values[name] = type == REG_SZ ? data : L"<not text>";
    }
    return values;
}

void SetListValue(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ScopedListSection::KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ScopedRegKey owned(key);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring Text(HWND window) { return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window))); }

class RegistryTest : public ImageWindowTest<50, 40> {
protected:    FrmLogo* Open() {
        mMain::OpenLogo(logo, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
        return Newest();
    }
};

TEST_F(RegistryTest, WindowThatCannotBeListedDoesNotOpenNorEndTheProgram) {
    mMain::ShowAbout();  // with one image window it would be "the last image window" rule
    ASSERT_EQ(FrmLogo::Loaded().size(), 1u);
    SetListValue(L"Count", L"32767");
    Open();
    EXPECT_EQ(FrmLogo::Loaded().size(), 1u) << "a full list: no window";
    EXPECT_TRUE(mMain::AboutOpen);
    EXPECT_EQ(ListValues().at(L"Count"), L"32767");
}

TEST_F(RegistryTest, WindowsAreListedWhileOpenInOpeningOrder) {
    FrmLogo* a = Open();
    FrmLogo* b = Open();
    FrmLogo* c = Open();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{
                                {L"Count", L"3"}, {L"1", Text(a->hWnd())}, {L"2", Text(b->hWnd())}, {L"3", Text(c->hWnd())}}));
    const std::wstring cText = Text(c->hWnd());
    b->Unload();
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{
                                {L"Count", L"2"}, {L"1", Text(a->hWnd())}, {L"2", cText}}));
}

TEST_F(RegistryTest, UnreadableImageLeavesTheListAlone) {
    const std::wstring text = scratch.File(L"note.png");
    ASSERT_TRUE(WriteTextFile(text, "x"));
    mMain::OpenLogo(text, false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    EXPECT_TRUE(ListValues().empty());
}

TEST_F(RegistryTest, CloseAllClosesListedWindowsAndEmptiesTheList) {
    FrmLogo* a = Open();
    FrmLogo* b = Open();
    ASSERT_TRUE(a && b);
    mMain::CloseAllRunning();
    DoEvents();
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{{L"Count", L"0"}}));
}

TEST_F(RegistryTest, CloseAllLeavesWindowsOfOtherKindsOpenButDropsTheirEntries) {
    HWND stranger = CreateWindowExW(0, L"STATIC", L"not ours", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                    nullptr);
    ASSERT_NE(stranger, nullptr);
    SetListValue(L"Count", L"2");
    SetListValue(L"1", Text(stranger));
    SetListValue(L"2", L"123456");  // names no window at all
    FrmLogo* ours = Open();
    ASSERT_NE(ours, nullptr);
    mMain::CloseAllRunning();
    DoEvents();
    EXPECT_TRUE(IsWindow(stranger));
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{{L"Count", L"0"}}));
    DestroyWindow(stranger);
}

TEST_F(RegistryTest, DamagedValuesAreRepairedAndNeverStopAWindow) {
    SetListValue(L"Count", L"lots");
    SetListValue(L"1", L"42");
    FrmLogo* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{
                                {L"Count", L"2"}, {L"1", L"42"}, {L"2", Text(w->hWnd())}}));
    SetListValue(L"Count", L"70000");
    w->Unload();  // closes, and its entry goes
    EXPECT_EQ(ListValues(), (std::map<std::wstring, std::wstring>{{L"Count", L"1"}, {L"1", L"42"}}));
}

TEST_F(RegistryTest, ValueOfAnotherTypeCountsAsDamaged) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ScopedListSection::KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE bytes[] = {1, 2, 3};
    RegSetValueExW(key, L"Count", 0, REG_BINARY, bytes, sizeof bytes);
    RegCloseKey(key);
    FrmLogo* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ListValues()[L"Count"], L"1");
}

}  // namespace
}  // namespace velvane::testing
