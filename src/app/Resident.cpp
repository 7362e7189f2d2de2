#include "app/NewPins.h"
#include "app/Resident.h"

#include <string>

#include "app/GlobalKeys.h"
#include "app/LogoWindows.h"
#include "app/NotificationIcon.h"
#include "app/capture/PinFromScreen.h"
#include "common/ProgramTexts.h"
#include "system/RunningCopies.h"

namespace velvane::mMain {
namespace {

// The resident copy's icon owner window is known by this title.
constexpr wchar_t kResidentTitle[] = L"Velvane resident";

// Held for the life of the resident copy: one per user session.
ScopedHandle& ResidentMutex() {
    static ScopedHandle mutex;
    return mutex;
}

std::wstring ResidentMutexName() {
    wchar_t user[256] = L"";
    DWORD length = 256;
    GetUserNameW(user, &length);
    // "Local\": the session's own namespace, so each signed-in user of a machine has one.
    return std::wstring(L"Local\\") + ProgramTitle + L".Resident." + user;
}

}  // namespace

bool IsResident() { return static_cast<bool>(ResidentMutex()); }

bool BecomeResident() {
    if (IsResident()) return true;
    ScopedHandle mutex(CreateMutexW(nullptr, FALSE, ResidentMutexName().c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;
    ResidentMutex() = std::move(mutex);
    SetWindowTextW(NotificationIcon::Owner(), kResidentTitle);
    GlobalKeys::Take(NotificationIcon::Owner(), true);
    NotificationIcon::Refresh();
    return true;
}

bool ResidentRuns() {
    if (IsResident() || ScopedHandle(OpenMutexW(SYNCHRONIZE, FALSE, ResidentMutexName().c_str()))) return true;
    return GetLastError() == ERROR_ACCESS_DENIED;  // one running elevated
}

bool AskResident(Request request) {
    // A window of another program may carry the same class and title: only a copy of ours is asked.
    DWORD process = 0;
    HWND resident = nullptr;
    while ((resident = FindWindowExW(nullptr, resident, NotificationIcon::OwnerClass, kResidentTitle)) != nullptr)
        if (GetWindowThreadProcessId(resident, &process) && IsVelvaneOfThisUser(process)) break;
    if (!resident || process == GetCurrentProcessId()) return false;
    // The selecting window must come to the front there, as it would here. Sent: the resident
    // copy checks who asks while this one still runs, and takes the request up afterwards.
    AllowSetForegroundWindow(process);
    DWORD_PTR taken = 0;
    return SendMessageTimeoutW(resident, RequestMessage(), static_cast<WPARAM>(request), GetCurrentProcessId(), SMTO_ABORTIFHUNG, 5000,
                               &taken) &&
           taken;
}

void Carry(Request request) {
    if (request == Request::PinFromScreen) {
        capture::PinFromScreen();
        return;
    }
    if (request != Request::PinClipboard) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    if (!PinClipboard(NotificationIcon::Owner(), pointer)) NotificationIcon::Say(L"The clipboard holds no image or text to pin.");
}

UINT RequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.ResidentRequest");
    return message;
}

}  // namespace velvane::mMain
