#include "system/WindowRegistry.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/ProgramTexts.h"
#include "core/WindowList.h"
#include "system/RunningCopies.h"
#include "system/SettingsSection.h"

namespace velvane::mMain {
namespace {

std::wstring ListKeyPath() { return std::wstring(L"Software\\") + ProgramTitle + L"\\" + SettingsSection; }

// The list as text values under HKEY_CURRENT_USER\Software\Velvane\<section>. The key is
// made only when something is written: close-all or clickable on a clean profile leave none.
class RegistryStore : public WindowListStore {
public:
    RegistryStore() {
        HKEY key = nullptr;
        const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, ListKeyPath().c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
        if (opened == ERROR_SUCCESS) key_.reset(key);
        else if (opened != ERROR_FILE_NOT_FOUND) throw std::runtime_error("cannot open the list of open windows in the registry");
    }

    std::optional<std::wstring> Read(const std::wstring& name) override {
        if (!key_) return std::nullopt;
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type == REG_DWORD && size == sizeof(DWORD))
            return std::to_wstring(static_cast<std::int32_t>(*reinterpret_cast<const DWORD*>(text.data())));
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring(L"?");  // no text: not a number
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }

    void Write(const std::wstring& name, const std::wstring& value) override {
        if (!key_) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, ListKeyPath().c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                nullptr, &key, nullptr) != ERROR_SUCCESS)
                throw std::runtime_error("cannot write the list of open windows in the registry");
            key_.reset(key);
        }
        RegSetValueExW(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    void Delete(const std::wstring& name) override {
        if (key_) RegDeleteValueW(key_.get(), name.c_str());
    }

private:
    ScopedRegKey key_;
};

// Every read-modify-write of the list holds this user's lock for the section, so copies
// that open and close windows at the same moment never lose or double an entry.
class ListLock {
public:
    ListLock() {
        wchar_t user[256] = L"";
        DWORD length = 256;
        GetUserNameW(user, &length);
        const std::wstring name = std::wstring(L"Local\\") + ProgramTitle + L".WindowList." + user + L"." +
                                  SettingsSection;
        mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
        // A copy that hangs while holding the lock must not stop the others for good.
        if (mutex_) {
            const DWORD waited = WaitForSingleObject(mutex_.get(), 10000);
            owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~ListLock() {
        if (owned_) ReleaseMutex(mutex_.get());
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    ScopedHandle mutex_;
    bool owned_ = false;
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
