#include "app/SettingsWindow.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/GlobalKeys.h"
#include "app/NotificationIcon.h"
#include "app/SettingsLayout.h"
#include "app/SignIn.h"
#include "common/ProgramTexts.h"
#include "common/Scoped.h"
#include "core/Preferences.h"
#include "system/DialogTemplate.h"
#include "system/HotKeyControl.h"
#include "system/StoredPreferences.h"

namespace velvane::mMain {
namespace {

namespace ids = SettingsIds;

// Set on the open window, so that every copy finds it rather than opening a second one.
constexpr wchar_t kOpenProperty[] = L"Velvane.Settings";
constexpr int kRows = static_cast<int>(kGlobalKeyCount);
constexpr const wchar_t* kEdgeTexts[] = {L"None", L"Line", L"Shadow"};

// What the open window keeps between messages.
struct Settings {
    Preferences stored = LoadPreferences();  // as stored when opened or last applied
    bool signIn = OpensAtSignIn();
    std::array<bool, kGlobalKeyCount> edited{};  // rows changed here and not yet applied
    std::uint32_t colour = stored.edge.colour;
    std::array<COLORREF, 16> customColours{};
    bool loading = true;  // the window filling its own controls is no change of the user's
};

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
int Selected(HWND dialog, int id, int count) {
    return std::clamp(static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)), 0, count - 1);
}

COLORREF ToColorRef(std::uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }
std::uint32_t FromColorRef(COLORREF c) { return static_cast<std::uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c)); }

// The key a row shows; empty when it cannot serve (a key alone that would stop typing). The
// control has no Win: a stored Win stays while the rest of the key is as stored.
std::optional<HotKey> RowKey(HWND dialog, const Settings& s, int row) {
    if (Checked(dialog, ids::NoKey + row)) return HotKey{};
    HotKey key = FromHotKeyControl(SendDlgItemMessageW(dialog, ids::KeyBox + row, HKM_GETHOTKEY, 0, 0));
    const HotKey stored = s.stored.Key(kGlobalKeys[row]);
    const HotKey withoutWin{static_cast<std::uint8_t>(stored.modifiers & ~HotKey::kWin), stored.vk};
    if ((stored.modifiers & HotKey::kWin) && key == withoutWin) key = stored;
    // An emptied box is no key until "None" says so.
    if (!key.None() && ParseHotKey(HotKeyName(key))) return key;
    return std::nullopt;
}

std::wstring Quoted(const std::wstring& text) { return L"\u201C" + text + L"\u201D"; }

// What became of the key as stored, from the copy holding the keys; for a row being edited only
// whether the key types a character, which taking it would stop everywhere.
std::wstring StateText(HWND dialog, const Settings& s, int row, GlobalKeys::State state) {
    using GlobalKeys::State;
    const auto key = RowKey(dialog, s, row);
    const bool empty = LOBYTE(LOWORD(SendDlgItemMessageW(dialog, ids::KeyBox + row, HKM_GETHOTKEY, 0, 0))) == 0;
    if (!key) return empty ? L"Press a key, or choose None" : L"Needs Ctrl, Alt or Win";
    const std::wstring typed = TypedCharacter(*key);
    if (!s.edited[row] && state == State::Types)
        return L"Not used: types " + (typed.empty() ? L"a character" : Quoted(typed)) + L" here; press it to use it anyway";
    std::wstring text;
    const auto add = [&text](const std::wstring& part) { text += (text.empty() ? L"" : L". ") + part; };
    if (!s.edited[row] && (key->modifiers & HotKey::kWin)) add(L"Set to " + HotKeyName(*key));
    if (!s.edited[row] && state == State::Held) add(L"Ready");
    if (!s.edited[row] && state == State::Taken) add(L"Taken by another program");
    if (!typed.empty()) add(L"Types " + Quoted(typed) + L" on this keyboard layout");
    return text;
}

void ShowStates(HWND dialog, const Settings& s) {
    const auto states = GlobalKeys::PublishedStates(NotificationIcon::OwnerClass);
    for (int row = 0; row < kRows; ++row) {
        const std::wstring text = StateText(dialog, s, row, states[static_cast<std::size_t>(row)]);
        wchar_t shown[256] = L"";
        GetDlgItemTextW(dialog, ids::KeyState + row, shown, 256);
        if (text != shown) SetDlgItemTextW(dialog, ids::KeyState + row, text.c_str());  // unchanged, it does not flicker
    }
}

// The colour belongs to a line only.
void ShowEdge(HWND dialog) {
    const bool line = Selected(dialog, ids::Edge, 3) == static_cast<int>(EdgeKind::Line);
    EnableWindow(GetDlgItem(dialog, ids::Colour), line);
    EnableWindow(GetDlgItem(dialog, ids::Swatch), line);
    InvalidateRect(GetDlgItem(dialog, ids::Swatch), nullptr, TRUE);
}

void Load(HWND dialog, const Settings& s) {
    for (int row = 0; row < kRows; ++row) {
        const HWND box = GetDlgItem(dialog, ids::KeyBox + row);
        // A key alone or with Shift only would stop typing: it becomes Ctrl+Alt and the key.
        SendMessageW(box, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        const HotKey key = s.stored.Key(kGlobalKeys[row]);
        // Set to none, the row keeps the default for when "None" is cleared.
        SendMessageW(box, HKM_SETHOTKEY, HotKeyControlValue(key.None() ? DefaultHotKey(kGlobalKeys[row]) : key), 0);
        Check(dialog, ids::NoKey + row, key.None());
        EnableWindow(box, !key.None());
    }
    Check(dialog, ids::TopMost, s.stored.topMost);
    for (int percent = 100; percent >= 10; percent -= 10)
        SendDlgItemMessageW(dialog, ids::Opacity, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::to_wstring(percent) + L"%").c_str()));
    SendDlgItemMessageW(dialog, ids::Opacity, CB_SETCURSEL, static_cast<WPARAM>((105 - std::clamp(s.stored.opacity, 10, 100)) / 10), 0);
    Check(dialog, ids::FadeIn, s.stored.fadeIn);
    for (const wchar_t* text : kEdgeTexts) SendDlgItemMessageW(dialog, ids::Edge, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(dialog, ids::Edge, CB_SETCURSEL, static_cast<WPARAM>(s.stored.edge.kind), 0);
    ShowEdge(dialog);
    SendDlgItemMessageW(dialog, ids::KeptArrows, UDM_SETRANGE32, Preferences::kMinKept, Preferences::kMaxKept);
    SendDlgItemMessageW(dialog, ids::KeptArrows, UDM_SETPOS32, 0, s.stored.closedKept);
    Check(dialog, ids::SignIn, s.signIn);
}

void Changed(HWND dialog, const Settings& s) {
    if (!s.loading) EnableWindow(GetDlgItem(dialog, ids::Apply), TRUE);
}

void RowChanged(HWND dialog, Settings& s, int row) {
    if (s.loading) return;
    s.edited[static_cast<std::size_t>(row)] = true;  // the user's choice from now on, even if it is the default
    ShowStates(dialog, s);
    Changed(dialog, s);
}

bool PickColour(HWND dialog, Settings& s) {
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = dialog;
    choose.rgbResult = ToColorRef(s.colour);
    choose.lpCustColors = s.customColours.data();
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return false;
    s.colour = FromColorRef(choose.rgbResult);
    InvalidateRect(GetDlgItem(dialog, ids::Swatch), nullptr, TRUE);
    return true;
}

void DrawSwatch(const DRAWITEMSTRUCT& item, std::uint32_t colour) {
    const ScopedBrush fill(CreateSolidBrush(ToColorRef(colour)));
    FillRect(item.hDC, &item.rcItem, fill.get());
    FrameRect(item.hDC, &item.rcItem, GetSysColorBrush(IsWindowEnabled(item.hwndItem) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
}

// Saves what the window shows and has every copy take it; false when something was not saved
// (a row's key that cannot serve is left as stored, and gets the focus).
bool Save(HWND dialog, Settings& s) {
    Preferences p = LoadPreferences();  // what this window does not show stays as stored
    int refused = -1;
    std::array<bool, kGlobalKeyCount> saved{};
    for (int row = 0; row < kRows; ++row) {
        const auto at = static_cast<std::size_t>(row);
        const auto key = s.edited[at] ? RowKey(dialog, s, row) : std::nullopt;
        if (s.edited[at] && !key && refused < 0) refused = row;
        saved[at] = key.has_value();
        p.chosenKeys[at] = key ? key : s.stored.chosenKeys[at];
    }
    // One key does one thing: a key chosen twice is refused before anything is written.
    for (int row = 0; row < kRows; ++row) {
        for (int other = 0; other < row; ++other) {
            const HotKey key = p.Key(kGlobalKeys[row]);
            if (key.None() || key != p.Key(kGlobalKeys[other])) continue;
            const std::wstring text = HotKeyName(key) + L" is chosen for both " + GlobalKeyTitle(kGlobalKeys[other]) + L" and " +
                                      GlobalKeyTitle(kGlobalKeys[row]) + L".";
            MessageBoxW(dialog, text.c_str(), ProgramTitle, MB_ICONWARNING);
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::KeyBox + row)), TRUE);
            return false;
        }
    }
    p.topMost = Checked(dialog, ids::TopMost);
    p.opacity = 100 - 10 * Selected(dialog, ids::Opacity, 10);
    p.fadeIn = Checked(dialog, ids::FadeIn);
    p.edge = PinEdge{static_cast<EdgeKind>(Selected(dialog, ids::Edge, 3)), s.colour};
    // A count out of range becomes the nearest in range, shown as saved; none keeps the stored one.
    BOOL number = FALSE;
    const UINT kept = GetDlgItemInt(dialog, ids::Kept, &number, FALSE);
    p.closedKept = number ? static_cast<int>(std::clamp<UINT>(kept, Preferences::kMinKept, Preferences::kMaxKept)) : s.stored.closedKept;
    s.loading = true;
    SetDlgItemInt(dialog, ids::Kept, static_cast<UINT>(p.closedKept), FALSE);
    s.loading = false;
    if (!SavePreferences(p)) {
        MessageBoxW(dialog, L"The settings could not be saved.", ProgramTitle, MB_ICONERROR);
        return false;
    }
    s.stored = p;
    for (std::size_t at = 0; at < kGlobalKeyCount; ++at) s.edited[at] = s.edited[at] && !saved[at];

    const bool signIn = Checked(dialog, ids::SignIn);
    if (signIn != s.signIn) {
        if (!OpenAtSignIn(signIn)) MessageBoxW(dialog, L"Open at Sign-in could not be changed.", ProgramTitle, MB_ICONERROR);
        s.signIn = OpensAtSignIn();
        Check(dialog, ids::SignIn, s.signIn);
    }

    NotificationIcon::Owner();  // this copy's owner too, so that it hears it like every other copy
    for (HWND owner = nullptr; (owner = FindWindowExW(nullptr, owner, NotificationIcon::OwnerClass, nullptr)) != nullptr;)
        SendMessageTimeoutW(owner, PreferencesChangedMessage(), 0, static_cast<LPARAM>(GetCurrentProcessId()), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
    // Answered: the copy holding the keys has published what became of each.
    ShowStates(dialog, s);

    if (refused >= 0) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::KeyBox + refused)), TRUE);
        return false;
    }
    const HWND apply = GetDlgItem(dialog, ids::Apply);
    if (GetFocus() == apply) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
    EnableWindow(apply, FALSE);
    return true;
}

void Command(HWND dialog, Settings& s, int id, int code) {
    if (id >= ids::KeyBox && id < ids::KeyBox + kRows) {
        if (code == EN_CHANGE) RowChanged(dialog, s, id - ids::KeyBox);
        return;
    }
    if (id >= ids::NoKey && id < ids::NoKey + kRows) {
        EnableWindow(GetDlgItem(dialog, ids::KeyBox + id - ids::NoKey), !Checked(dialog, id));
        RowChanged(dialog, s, id - ids::NoKey);
        return;
    }
    if (id == IDOK && (!IsWindowEnabled(GetDlgItem(dialog, ids::Apply)) || Save(dialog, s))) EndDialog(dialog, IDOK);
    if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
    if (id == ids::Apply) Save(dialog, s);
    if (id == ids::Colour && PickColour(dialog, s)) Changed(dialog, s);
    if ((id == ids::Edge || id == ids::Opacity) && code == CBN_SELCHANGE) {
        ShowEdge(dialog);
        Changed(dialog, s);
    }
    if ((id == ids::Kept && code == EN_CHANGE) || id == ids::TopMost || id == ids::FadeIn || id == ids::SignIn) Changed(dialog, s);
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = reinterpret_cast<Settings*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        s = reinterpret_cast<Settings*>(lParam);
        SetPropW(dialog, kOpenProperty, reinterpret_cast<HANDLE>(1));
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(1))));
        const int side = GetSystemMetrics(SM_CXSMICON);
        const HANDLE smallIcon = LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, LR_SHARED);
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
        Load(dialog, *s);
        s->loading = false;
        ShowStates(dialog, *s);
        SetForegroundWindow(dialog);
        // Not in a hot-key control, which would take the first key pressed as the new key.
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND: Command(dialog, *s, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != static_cast<UINT>(ids::Swatch)) return FALSE;
        DrawSwatch(*item, s->colour);
        return TRUE;
    }
    case WM_ACTIVATE:
        // Another copy may have taken or given up the keys meanwhile.
        if (LOWORD(wParam) != WA_INACTIVE) ShowStates(dialog, *s);
        return FALSE;
    case WM_DESTROY: RemovePropW(dialog, kOpenProperty); return FALSE;
    default: return FALSE;
    }
}

HWND OpenSettingsWindow() {
    for (HWND open = nullptr; (open = FindWindowExW(nullptr, open, L"#32770", nullptr)) != nullptr;)
        if (GetPropW(open, kOpenProperty)) return open;
    return nullptr;
}

}  // namespace

void ShowSettings() {
    if (const HWND open = OpenSettingsWindow()) {
        if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
        SetForegroundWindow(open);
        return;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    Settings settings;
    settings.customColours.fill(RGB(255, 255, 255));
    // In the taskbar, and above the pins, which are often top-most.
    const DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const auto layout = DialogTemplate(L"Velvane Settings", style, WS_EX_APPWINDOW | WS_EX_TOPMOST, kSettingsWidth, kSettingsHeight, SettingsControls());
    // Modal without an owner: the pins go on working, their messages dispatched by the dialog's loop.
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()), nullptr, SettingsProc,
                            reinterpret_cast<LPARAM>(&settings));
}

}  // namespace velvane::mMain
