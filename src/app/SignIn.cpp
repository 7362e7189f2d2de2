#include "app/SignIn.h"

#include "common/Scoped.h"
#include "system/SettingsSection.h"
#include "system/TempFiles.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Another settings section (the tests') has a value of its own.
std::wstring Value() { return OwnSettingsSection() ? SettingsSection : L"Velvane"; }

// The resident copy, which brings back only what was open when the session ended ("signin"),
// never what the user closed.
std::wstring Command() { return L"\"" + OwnExePath() + L"\" tray restore signin"; }
// What earlier versions wrote; they still start this program.
std::wstring EarlierCommand(int age) { return L"\"" + OwnExePath() + (age == 1 ? L"\" restore signin" : L"\" restore"); }

// Paths that differ in letter case only are still this program.
bool Same(const wchar_t* text, const std::wstring& command) {
    return CompareStringOrdinal(text, -1, command.c_str(), static_cast<int>(command.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool OpensAtSignIn() {
    wchar_t text[4 * MAX_PATH];
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, Value().c_str(), RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) return false;
    if (Same(text, Command())) return true;
    // An earlier version's value takes the new words.
    return (Same(text, EarlierCommand(1)) || Same(text, EarlierCommand(2))) && OpenAtSignIn(true);
}

bool OpenAtSignIn(bool on) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const ScopedRegKey key(opened);
    if (!on) {
        const LSTATUS removed = RegDeleteValueW(key.get(), Value().c_str());
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring command = Command();
    return RegSetValueExW(key.get(), Value().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace velvane::mMain
