#include "app/AboutMenu.h"

#include <string>

#include "app/CopyHost.h"
#include "app/GlobalKeys.h"
#include "app/OpenImages.h"
#include "app/Resident.h"
#include "pin/FrmLogo.h"

namespace velvane::mMain {
namespace {

enum Item : UINT { kStay = 1, kPinFromScreen, kOpenImage, kClose };
// In the order of Item. "Stay in Notification Area" is on this menu alone: the about window is
// where a copy started without an image shows itself, and every pin reaches it through "About",
// while a pin's own menu stays about its picture.
constexpr const wchar_t* kCaptions[] = {L"Stay in Notification Area", L"Pin from Screen", L"Open Image...", L"Close"};

void Append(HMENU menu, Item id, UINT flags = 0, const wchar_t* key = nullptr) {
    const std::wstring caption = key ? std::wstring(kCaptions[id - 1]) + L"\t" + key : kCaptions[id - 1];
    AppendMenuW(menu, MF_STRING | flags, id, caption.c_str());
}

}  // namespace

void ShowAboutMenu(HWND about) {
    ScopedMenu menu(CreatePopupMenu());
    if (!menu) return;
    // Greyed while a resident copy runs (checked when it is this one): a second would end at once.
    Append(menu.get(), kStay, (ResidentRuns() ? MF_GRAYED : 0) | (IsResident() ? MF_CHECKED : 0));
    const bool key = GlobalKeys::Holds(GlobalKeys::PinFromScreen);
    const std::wstring keyText = GlobalKeys::KeyText(GlobalKeys::PinFromScreen);
    Append(menu.get(), kPinFromScreen, 0, key ? keyText.c_str() : nullptr);
    Append(menu.get(), kOpenImage);
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    Append(menu.get(), kClose, 0, L"Esc");
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(about);  // else the menu stays up after a click elsewhere
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                         at.x, at.y, 0, about, nullptr));
    PostMessageW(about, WM_NULL, 0, 0);
    switch (chosen) {
    case kStay: BecomeResident(); break;
    case kPinFromScreen: Carry(Request::PinFromScreen); break;
    case kOpenImage: CopyHost().OpenFiles(AskForImages(about)); break;
    case kClose:
        if (FrmLogo* window = FrmLogo::Find(about)) window->Unload();
        break;
    default: break;
    }
}

}  // namespace velvane::mMain
