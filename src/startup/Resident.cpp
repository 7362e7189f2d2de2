#include "startup/Resident.h"

#include <string>

#include "capture/PinFromScreen.h"
#include "common/ProgramTexts.h"
#include "windows/GlobalKeys.h"
#include "windows/LogoWindows.h"
#include "windows/NotificationIcon.h"

namespace velvane::mMain {
namespace {

// The resident copy's icon owner window is known by this title.
constexpr wchar_t kResidentTitle[] = L"Velvane resident";

// Held for the life of the resident copy: one per user session.
ScopedHandle& ResidentMutex() {
    static ScopedHandle mutex;
    return mutex;
}

}  // namespace

bool IsResident() { return static_cast<bool>(ResidentMutex()); }

bool BecomeResident() {
    if (IsResident()) return true;
    wchar_t user[256] = L"";
    DWORD length = 256;
    GetUserNameW(user, &length);
    // "Local\": the session's own namespace, so each signed-in user of a machine has one.
    const std::wstring name = std::wstring(L"Local\\") + ProgramTitle + L".Resident." + user;
    ScopedHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;
    ResidentMutex() = std::move(mutex);
    SetWindowTextW(NotificationIcon::Owner(), kResidentTitle);
    GlobalKeys::Take(NotificationIcon::Owner(), true);
    NotificationIcon::Refresh();
    return true;
}

bool AskResident(Request request) {
    const HWND resident = FindWindowExW(nullptr, nullptr, NotificationIcon::OwnerClass, kResidentTitle);
    DWORD process = 0;
    if (!resident || !GetWindowThreadProcessId(resident, &process) || process == GetCurrentProcessId()) return false;
    // The selecting window must come to the front there, as it would here.
    AllowSetForegroundWindow(process);
    return PostMessageW(resident, RequestMessage(), static_cast<WPARAM>(request), 0) != FALSE;
}

void Carry(Request request) {
    if (request == Request::PinFromScreen) {
        capture::PinFromScreen();
        return;
    }
    if (request != Request::PinClipboard) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    if (!PinClipboard(NotificationIcon::Owner(), pointer)) NotificationIcon::Say(L"The clipboard holds no image to pin.");
}

UINT RequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.ResidentRequest");
    return message;
}

}  // namespace velvane::mMain
