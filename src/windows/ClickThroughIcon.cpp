#include "windows/ClickThroughIcon.h"

#include "common/Scoped.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "common/ProgramTexts.h"
#include "windows/FrmLogo.h"
#include "windows/HiddenWindow.h"
#include "startup/WindowRegistry.h"
#include "windows/LogoWindows.h"

namespace velvane::ClickThroughIcon {
namespace {

constexpr UINT kIconMessage = WM_APP + 2, kIconId = 1, kHideHotkey = 1;
enum Command : UINT { kClickableAgain = 1, kExit = 2, kShowAll = 3 };

bool AnyWindow(bool (FrmLogo::*is)() const) {
    return std::any_of(FrmLogo::Loaded().begin(), FrmLogo::Loaded().end(), [is](const FrmLogo* w) { return (w->*is)(); });
}

void ShowMenu(HWND owner) {
    ScopedMenu menu(CreatePopupMenu());
    if (!menu) return;
    if (AnyWindow(&FrmLogo::ClickThrough)) AppendMenuW(menu.get(), MF_STRING, kClickableAgain, L"Clickable Again");
    if (AnyWindow(&FrmLogo::Hidden)) AppendMenuW(menu.get(), MF_STRING, kShowAll, L"Show All");
    AppendMenuW(menu.get(), MF_STRING, kExit, L"Exit");
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(owner);  // else the menu stays up after a click elsewhere
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == kExit) mMain::UnloadAllLogos();
    if (chosen == kClickableAgain)
        for (FrmLogo* window : std::vector<FrmLogo*>(FrmLogo::Loaded())) window->ClickThrough(false);
    if (chosen == kShowAll) mMain::HideOrShowAllRunning(mMain::Visibility::Show);
}

// Whether the icon is in the notification area now, and whether this copy holds the hotkey.
bool iconShown = false, holdsHotkey = false;
constexpr wchar_t kOwnerClass[] = L"Velvane.ClickThroughIcon";

// Sent to the other copies when the copy that held the hotkey lets it go.
UINT HotkeyFreeMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.HideHotkeyFree");
    return message;
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == kIconMessage && (LOWORD(lParam) == WM_LBUTTONUP || LOWORD(lParam) == WM_RBUTTONUP)) {
        ShowMenu(hwnd);
        return 0;
    }
    if (message == WM_HOTKEY && wParam == kHideHotkey) {
        mMain::HideOrShowAllRunning(mMain::Visibility::Toggle);
        return 0;
    }
    if (message == HotkeyFreeMessage()) {
        ListenForHideHotkey();
        return 0;
    }
    if (message == taskbarCreated) {  // Explorer restarted: its notification area starts empty
        iconShown = false;
        Refresh();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// One icon per copy, owned by a hidden window made the first time it is needed.
HWND Owner() {
    static HWND owner = MakeHiddenWindow(kOwnerClass, OwnerProc, ProgramTitle);
    return owner;
}

}  // namespace

void ListenForHideHotkey() {
    // Held by the first copy that asks; the others run on without it, as with any program's.
    if (Owner() && !holdsHotkey) holdsHotkey = RegisterHotKey(Owner(), kHideHotkey, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'H') != FALSE;
}

void PassOnHideHotkey() {
    if (!holdsHotkey) return;
    UnregisterHotKey(Owner(), kHideHotkey);
    holdsHotkey = false;
    // Every other copy is asked; the first to ask Windows gets it.
    for (HWND other = nullptr; (other = FindWindowExW(nullptr, other, kOwnerClass, nullptr)) != nullptr;)
        if (other != Owner()) PostMessageW(other, HotkeyFreeMessage(), 0, 0);
}

bool Refresh() {
    const bool wanted = AnyWindow(&FrmLogo::ClickThrough) || AnyWindow(&FrmLogo::Hidden);
    if (wanted == iconShown) return true;
    if (!Owner()) return !wanted;
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = Owner();
    icon.uID = kIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kIconMessage;
    icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    std::wcsncpy(icon.szTip, L"Velvane: hidden windows, or windows that let clicks through", sizeof icon.szTip / sizeof icon.szTip[0] - 1);
    if (Shell_NotifyIconW(wanted ? NIM_ADD : NIM_DELETE, &icon) || !wanted) iconShown = wanted;
    return iconShown == wanted;
}

}  // namespace velvane::ClickThroughIcon
