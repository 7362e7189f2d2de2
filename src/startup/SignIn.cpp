#include "startup/SignIn.h"

#include "common/Scoped.h"
#include "package/TempFiles.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValue[] = L"Velvane";

std::wstring Command() { return L"\"" + OwnExePath() + L"\" restore"; }

}  // namespace

bool OpensAtSignIn() {
    wchar_t text[4 * MAX_PATH];
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) return false;
    // Paths differ in letter case only: still this program.
    const std::wstring own = Command();
    return CompareStringOrdinal(text, -1, own.c_str(), static_cast<int>(own.size()), TRUE) == CSTR_EQUAL;
}

bool OpenAtSignIn(bool on) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const ScopedRegKey key(opened);
    if (!on) {
        const LSTATUS removed = RegDeleteValueW(key.get(), kValue);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring command = Command();
    return RegSetValueExW(key.get(), kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace velvane::mMain
