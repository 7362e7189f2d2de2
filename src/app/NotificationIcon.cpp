#include "app/NewPins.h"
#include "app/NotificationIcon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "app/GlobalKeys.h"
#include "app/LogoWindows.h"
#include "app/OpenImages.h"
#include "app/PinSetStore.h"
#include "app/Resident.h"
#include "app/SettingsWindow.h"
#include "app/SignIn.h"
#include "common/ProgramTexts.h"
#include "core/CommandLine.h"
#include "core/PinGroups.h"
#include "pin/FrmLogo.h"
#include "system/HiddenWindow.h"
#include "system/RunningCopies.h"
#include "system/ShownGroup.h"
#include "system/StoredPreferences.h"
#include "system/WindowRegistry.h"

namespace velvane::NotificationIcon {
namespace {

constexpr UINT kIconMessage = WM_APP + 2, kCarryRequests = WM_APP + 3, kIconId = 1;
enum Command : UINT {
    kClickableAgain = 1, kExit, kShowAll, kHideAll, kPinFromScreen, kPinClipboard, kOpenImage, kRestore, kCloseAll, kSignIn, kAbout,
    kShowGroup,            // the submenu's own caption
    kSettings,
    kGroupAll = 100,       // "All", then the groups 1 to 9 after it
};
// In the order of Command.
constexpr const wchar_t* kCaptions[] = {L"Clickable Again", L"Exit", L"Show All", L"Hide All", L"Pin from Screen", L"Pin Clipboard",
                                        L"Open Image...", L"Restore Pins", L"Close All Pins", L"Open at Sign-in", L"About", L"Show Group",
                                        L"Settings..."};

// Whether the icon is in the notification area now, and the tooltip it shows.
bool iconShown = false;
std::wstring shownTip;
// What other copies asked of this one, not done yet.
std::vector<mMain::Request> requests;

bool AnyWindow(bool (FrmLogo::*is)() const) {
    return std::any_of(FrmLogo::Loaded().begin(), FrmLogo::Loaded().end(), [is](const FrmLogo* w) { return (w->*is)(); });
}

std::size_t PinCount() {
    return static_cast<std::size_t>(std::count_if(FrmLogo::Loaded().begin(), FrmLogo::Loaded().end(), [](const FrmLogo* w) { return !w->AboutMode(); }));
}

// A key another program holds is shown without it: pressing it would not reach us.
void Append(HMENU menu, Command id, UINT flags = 0, std::optional<GlobalKeys::Key> key = std::nullopt) {
    std::wstring caption = kCaptions[id - 1];
    if (key && GlobalKeys::Holds(*key)) caption += std::wstring(L"\t") + GlobalKeys::KeyText(*key);
    AppendMenuW(menu, MF_STRING | flags, id, caption.c_str());
}

void BuildMenu(HMENU menu) {
    const bool hidden = AnyWindow(&FrmLogo::Hidden);
    if (AnyWindow(&FrmLogo::ClickThrough)) Append(menu, kClickableAgain);
    if (!mMain::IsResident()) {
        if (hidden) Append(menu, kShowAll);
        Append(menu, kExit);
        return;
    }
    Append(menu, kPinFromScreen, MF_DEFAULT, GlobalKeys::PinFromScreen);
    Append(menu, kPinClipboard, 0, GlobalKeys::PinClipboard);
    Append(menu, kOpenImage);
    Append(menu, kRestore);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // Every copy's windows, as its key: Show All while none of them shows.
    const std::vector<HWND> every = mMain::AllRunningPins();
    const bool show = !every.empty() && std::none_of(every.begin(), every.end(), [](HWND w) { return IsWindowVisible(w) != FALSE; });
    Append(menu, show ? kShowAll : kHideAll, every.empty() ? MF_GRAYED : 0, GlobalKeys::HideShow);
    // The groups, the one shown checked; the parent menu destroys the submenu with itself.
    if (HMENU groups = CreatePopupMenu()) {
        const int shown = mMain::ShownGroup();
        for (int group = 1; group <= kGroups; ++group)
            AppendMenuW(groups, MF_STRING | (shown == group ? MF_CHECKED : 0), kGroupAll + group, std::to_wstring(group).c_str());
        AppendMenuW(groups, MF_STRING | (shown == kAllGroups ? MF_CHECKED : 0), kGroupAll, L"All");
        std::wstring caption = kCaptions[kShowGroup - 1];
        if (GlobalKeys::Holds(GlobalKeys::NextGroup)) caption += std::wstring(L"\t") + GlobalKeys::KeyText(GlobalKeys::NextGroup);
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(groups), caption.c_str());
    }
    Append(menu, kCloseAll);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    Append(menu, kSignIn, mMain::OpensAtSignIn() ? MF_CHECKED : 0);
    Append(menu, kSettings);
    Append(menu, kAbout);
    Append(menu, kExit);
}

void Carry(UINT chosen) {
    switch (chosen) {
    case kExit: mMain::UnloadAllLogos();  // does not return
    case kClickableAgain:
        for (FrmLogo* window : std::vector<FrmLogo*>(FrmLogo::Loaded())) window->ClickThrough(false);
        break;
    case kShowAll: mMain::HideOrShowAllRunning(mMain::Visibility::Show); break;
    case kHideAll: mMain::HideOrShowAllRunning(mMain::Visibility::Hide); break;
    case kPinFromScreen: mMain::Carry(mMain::Request::PinFromScreen); break;
    case kPinClipboard: mMain::Carry(mMain::Request::PinClipboard); break;
    case kOpenImage:
        mMain::OpenFiles(AskForImages(Owner()), mMain::OpenNewPin, false, false);
        break;
    case kRestore:
        if (!mMain::RestorePins(false))
            MessageBoxW(nullptr, L"Nothing to restore.", ProgramTitle, MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
        break;
    case kCloseAll: mMain::CloseAllRunning(mMain::NewCloseAll()); break;
    case kSignIn: mMain::OpenAtSignIn(!mMain::OpensAtSignIn()); break;
    case kAbout: mMain::ShowAbout(); break;
    case kSettings: mMain::ShowSettings(); break;
    default:
        if (chosen >= kGroupAll && chosen <= kGroupAll + kGroups) mMain::ShowGroupAllRunning(static_cast<int>(chosen - kGroupAll));
        break;
    }
}

void ShowMenu(HWND owner) {
    ScopedMenu menu(CreatePopupMenu());
    if (!menu) return;
    BuildMenu(menu.get());
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(owner);  // else the menu stays up after a click elsewhere
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    Carry(chosen);
}

// The resident copy's: "Velvane: 2 pins open here", and which of the keys another program
// holds. Its own pins: other copies' come and go unseen (Hide All acts on them all the same).
std::wstring Tip() {
    if (!mMain::IsResident()) return L"Velvane: hidden windows, or windows that let clicks through";
    const std::size_t pins = PinCount();
    std::wstring tip = std::wstring(ProgramTitle) + L": " + std::to_wstring(pins) + (pins == 1 ? L" pin open here" : L" pins open here");
    const auto states = GlobalKeys::PublishedStates(OwnerClass);
    const Preferences preferences = mMain::LoadPreferences();
    for (GlobalKey key : kGlobalKeys)
        if (states[static_cast<std::size_t>(key)] == GlobalKeys::State::Taken) tip += L"\n" + HotKeyName(preferences.Key(key)) + L" is taken";
    return tip;
}

NOTIFYICONDATAW IconData() {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = Owner();
    icon.uID = kIconId;
    return icon;
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == kIconMessage && LOWORD(lParam) == WM_LBUTTONUP && mMain::IsResident()) {
        mMain::Carry(mMain::Request::PinFromScreen);
        return 0;
    }
    if (message == kIconMessage && (LOWORD(lParam) == WM_LBUTTONUP || LOWORD(lParam) == WM_RBUTTONUP)) {
        ShowMenu(hwnd);
        return 0;
    }
    if (message == WM_HOTKEY) {
        if (wParam == GlobalKeys::HideShow) mMain::HideOrShowAllRunning(mMain::Visibility::Toggle);
        if (wParam == GlobalKeys::PinFromScreen) mMain::Carry(mMain::Request::PinFromScreen);
        if (wParam == GlobalKeys::PinClipboard) mMain::Carry(mMain::Request::PinClipboard);
        if (wParam == GlobalKeys::NextGroup) mMain::ShowGroupAllRunning(NextGroup(mMain::ShownGroup(), mMain::GroupsWithPins()));
        return 0;
    }
    if (message == WM_CLOSE) return 0;  // the icon and the keys never go while the copy runs
    // Asked by another copy, which names itself (lParam): what does not check is passed over.
    const auto fromACopy = [lParam] { return IsVelvaneOfThisUser(static_cast<DWORD>(lParam)); };
    if (message == GlobalKeys::FreeMessage()) {
        if (fromACopy()) GlobalKeys::Take(hwnd, mMain::IsResident());
        Refresh();
        return 0;
    }
    if (message == mMain::PreferencesChangedMessage()) {
        GlobalKeys::Take(hwnd, false);  // by the copy holding the keys, or the first to ask when none does
        Refresh();
        return 0;
    }
    if (message == GlobalKeys::WantedMessage()) {
        if (!mMain::IsResident() && fromACopy()) GlobalKeys::LetGo(hwnd);
        return 0;
    }
    // A request is taken up once the asking copy has its answer; what it asks is kept here,
    // never in the message that wakes this window, which any program could post.
    if (message == mMain::RequestMessage()) {
        if (!fromACopy()) return FALSE;
        requests.push_back(static_cast<mMain::Request>(wParam));
        return PostMessageW(hwnd, kCarryRequests, 0, 0);
    }
    if (message == kCarryRequests) {
        std::vector<mMain::Request> asked;
        asked.swap(requests);
        for (mMain::Request request : asked) mMain::Carry(request);
        return 0;
    }
    if (message == taskbarCreated) {  // Explorer restarted: its notification area starts empty
        iconShown = false;
        Refresh();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND Owner() {
    static HWND owner = MakeHiddenWindow(OwnerClass, OwnerProc, ProgramTitle);
    return owner;
}

bool Refresh() {
    const bool wanted = mMain::IsResident() || AnyWindow(&FrmLogo::ClickThrough) || AnyWindow(&FrmLogo::Hidden);
    const std::wstring tip = Tip();
    if (wanted == iconShown && (!wanted || tip == shownTip)) return true;
    if (!Owner()) return !wanted;
    NOTIFYICONDATAW icon = IconData();
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kIconMessage;
    icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    std::wcsncpy(icon.szTip, tip.c_str(), sizeof icon.szTip / sizeof icon.szTip[0] - 1);
    const DWORD action = !wanted ? NIM_DELETE : iconShown ? NIM_MODIFY : NIM_ADD;
    if (Shell_NotifyIconW(action, &icon) || !wanted) {
        iconShown = wanted;
        shownTip = tip;
    }
    return iconShown == wanted;
}

void Say(const wchar_t* text) {
    if (!iconShown) return;
    NOTIFYICONDATAW icon = IconData();
    icon.uFlags = NIF_INFO;
    icon.dwInfoFlags = NIIF_INFO;
    std::wcsncpy(icon.szInfo, text, sizeof icon.szInfo / sizeof icon.szInfo[0] - 1);
    std::wcsncpy(icon.szInfoTitle, ProgramTitle, sizeof icon.szInfoTitle / sizeof icon.szInfoTitle[0] - 1);
    Shell_NotifyIconW(NIM_MODIFY, &icon);
}

void Remove() {
    GlobalKeys::PassOn(Owner(), OwnerClass);
    if (!iconShown) return;
    NOTIFYICONDATAW icon = IconData();
    Shell_NotifyIconW(NIM_DELETE, &icon);
    iconShown = false;
}

}  // namespace velvane::NotificationIcon
