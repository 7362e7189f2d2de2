#include "system/WindowRegistry.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/ProgramTexts.h"
#include "core/WindowList.h"
#include "system/RegistryStore.h"
#include "system/RunningCopies.h"
#include "system/UserLock.h"

namespace velvane::mMain {
namespace {

// Every read-modify-write of the list holds this user's lock for the section, so copies
// that open and close windows at the same moment never lose or double an entry.
struct ListLock : UserLock {
    ListLock() : UserLock(L"WindowList", 10000) {}
};

std::int32_t HandleValue(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)); }

// Handles are 32-bit values, also in 64-bit processes; they widen with their sign.
HWND WindowFromValue(std::int32_t value) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(value)); }

// A stale handle may by now name a window of some other program: only top-level logo
// windows of a Velvane process are asked to close.
bool IsLogoWindowOfThisProgram(HWND window) {
    if (!IsWindow(window) || GetAncestor(window, GA_ROOT) != window) return false;
    wchar_t name[64] = L"";
    if (!GetClassNameW(window, name, 64) || std::wstring(name) != LogoWindowClass) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return IsVelvaneOfThisUser(pid);
}

// The messages between copies carry the sender's process id, which the receiver checks.
LPARAM Sender() { return static_cast<LPARAM>(GetCurrentProcessId()); }

// Every listed window of every running copy; the about windows too, unless pinsOnly.
std::vector<HWND> AllRunning(bool pinsOnly) {
    ListLock lock;
    RegistryStore store;
    std::vector<HWND> ours;
    for (std::int32_t value : ListedWindows(store))
        if (HWND window = WindowFromValue(value); IsLogoWindowOfThisProgram(window) && !(pinsOnly && GetPropW(window, AboutWindowProperty)))
            ours.push_back(window);
    return ours;
}

// Sent, not posted, and with the list's lock let go: the receiver checks the sender while it
// waits (a "hide" start ends right after), and may take the lock itself.
void Tell(const std::vector<HWND>& windows, UINT message, WPARAM wParam) {
    for (HWND window : windows) SendMessageTimeoutW(window, message, wParam, Sender(), SMTO_ABORTIFHUNG, 2000, nullptr);
}

}  // namespace

void UpdateWindowRegistry(HWND window, bool add) {
    ListLock lock;
    RegistryStore store;
    const auto namesWindow = [](std::int32_t value) { return IsWindow(WindowFromValue(value)) != FALSE; };
    if (!UpdateWindowList(store, HandleValue(window), add, namesWindow))
        throw std::overflow_error("the list of open windows is full");
}

void MakeAllRunningClickable() { Tell(AllRunning(false), ClickableAgainMessage(), 0); }

std::vector<HWND> AllRunningPins() { return AllRunning(true); }

void HideOrShowAllRunning(Visibility how) {
    const std::vector<HWND> ours = AllRunningPins();
    const bool hide = how == Visibility::Hide ||
                      (how == Visibility::Toggle && std::any_of(ours.begin(), ours.end(), [](HWND w) { return IsWindowVisible(w) != FALSE; }));
    Tell(ours, HideShowMessage(), hide ? 1 : 0);
}

UINT HideShowMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.HideShow");
    return message;
}

UINT ClickableAgainMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.ClickableAgain");
    return message;
}

void CloseAllRunning(std::uint32_t closeAll, bool waitForOthers) {
    std::vector<HWND> others;
    {
        ListLock lock;
        RegistryStore store;
        CloseAllListed(store, [&](std::int32_t value) {
            HWND window = WindowFromValue(value);
            if (!IsLogoWindowOfThisProgram(window)) return true;
            DWORD process = 0;
            if (GetWindowThreadProcessId(window, &process) && process != GetCurrentProcessId()) others.push_back(window);
            // A window that is there but refuses the message (a copy running elevated) stays listed.
            return PostMessageW(window, WM_CLOSE, static_cast<WPARAM>(Sender()), static_cast<LPARAM>(closeAll)) || !IsWindow(window);
        });
    }
    // Each copy checks who asked while the asking one still runs; a hung copy is not waited for long.
    const DWORD start = GetTickCount();
    while (waitForOthers && GetTickCount() - start < 5000 &&
           std::any_of(others.begin(), others.end(), [](HWND w) { return IsWindow(w) != FALSE; }))
        Sleep(50);
}

}  // namespace velvane::mMain
