#include "app/SettingsLayout.h"

#include <commctrl.h>

#include "core/Preferences.h"

namespace velvane::mMain {
namespace {

namespace ids = SettingsIds;
constexpr int kRows = static_cast<int>(kGlobalKeyCount);
// Mnemonics are unique over the window: the key labels take these. The four "None" boxes share
// a caption, so none of them has a letter: Tab reaches each beside its key.
constexpr wchar_t kKeyLetters[] = L"SCHG";

std::wstring LabelText(int row) {
    std::wstring text = GlobalKeyTitle(kGlobalKeys[row]);
    const std::size_t at = text.find(kKeyLetters[row]);
    text.insert(at == std::wstring::npos ? 0 : at, 1, L'&');
    return text + L":";
}

}  // namespace

std::vector<DialogControl> SettingsControls() {
    constexpr DWORD kTab = WS_TABSTOP | WS_GROUP;
    std::vector<DialogControl> c;
    c.push_back({L"BUTTON", L"Keys", -1, BS_GROUPBOX, 7, 7, kSettingsWidth - 14, 104});
    for (int row = 0; row < kRows; ++row) {
        const int y = 20 + 22 * row;
        // Right before its hot-key control, so that the label's Alt+letter puts the focus there.
        c.push_back({L"STATIC", LabelText(row), ids::KeyLabel + row, SS_LEFT, 14, y + 3, 72, 8});
        c.push_back({HOTKEY_CLASSW, L"", ids::KeyBox + row, kTab, 88, y, 86, 14, WS_EX_CLIENTEDGE});
        c.push_back({L"BUTTON", L"None", ids::NoKey + row, BS_AUTOCHECKBOX | kTab, 180, y + 2, 46, 10});
        // No prefix: a typed "&" is shown as it is.
        c.push_back({L"STATIC", L"", ids::KeyState + row, SS_LEFT | SS_NOPREFIX, 230, y, kSettingsWidth - 244, 20});
    }
    c.push_back({L"BUTTON", L"New pins", -1, BS_GROUPBOX, 7, 117, kSettingsWidth - 14, 48});
    c.push_back({L"BUTTON", L"&Top most", ids::TopMost, BS_AUTOCHECKBOX | kTab, 14, 132, 80, 10});
    c.push_back({L"STATIC", L"O&pacity:", ids::Opacity - 1, SS_LEFT, 110, 132, 44, 8});
    c.push_back({L"COMBOBOX", L"", ids::Opacity, CBS_DROPDOWNLIST | WS_VSCROLL | kTab, 156, 130, 52, 120});
    c.push_back({L"BUTTON", L"&Fade in", ids::FadeIn, BS_AUTOCHECKBOX | kTab, 14, 149, 80, 10});
    c.push_back({L"STATIC", L"&Edge:", ids::Edge - 1, SS_LEFT, 110, 149, 44, 8});
    c.push_back({L"COMBOBOX", L"", ids::Edge, CBS_DROPDOWNLIST | kTab, 156, 147, 52, 60});
    c.push_back({L"BUTTON", L"Co&lour...", ids::Colour, BS_PUSHBUTTON | kTab, 214, 146, 50, 14});
    c.push_back({L"STATIC", L"", ids::Swatch, SS_OWNERDRAW, 268, 147, 24, 12});
    c.push_back({L"BUTTON", L"Pins kept", -1, BS_GROUPBOX, 7, 171, kSettingsWidth - 14, 32});
    c.push_back({L"STATIC", L"Close&d pin sets kept:", ids::Kept - 1, SS_LEFT, 14, 186, 90, 8});
    c.push_back({L"EDIT", L"", ids::Kept, ES_NUMBER | ES_AUTOHSCROLL | kTab, 106, 184, 40, 14, WS_EX_CLIENTEDGE});
    // Takes the edit box before it as its buddy, and its place.
    c.push_back({UPDOWN_CLASSW, L"", ids::KeptArrows, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_AUTOBUDDY | UDS_NOTHOUSANDS,
                 0, 0, 0, 0});
    c.push_back({L"BUTTON", L"Open at Sign-&in", ids::SignIn, BS_AUTOCHECKBOX | kTab, 160, 186, 100, 10});
    c.push_back({L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | kTab, kSettingsWidth - 165, 211, 50, 14});
    c.push_back({L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | kTab, kSettingsWidth - 111, 211, 50, 14});
    c.push_back({L"BUTTON", L"&Apply", ids::Apply, BS_PUSHBUTTON | WS_DISABLED | kTab, kSettingsWidth - 57, 211, 50, 14});
    return c;
}

}  // namespace velvane::mMain
