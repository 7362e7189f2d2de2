#include "system/RegistryStore.h"

#include <stdexcept>
#include <string>

#include "common/ProgramTexts.h"
#include "system/SettingsSection.h"

namespace velvane::mMain {
namespace {

std::wstring KeyPath() { return std::wstring(L"Software\\") + ProgramTitle + L"\\" + SettingsSection; }

}  // namespace

RegistryStore::RegistryStore() {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (opened == ERROR_SUCCESS) key_.reset(key);
    else if (opened != ERROR_FILE_NOT_FOUND) throw std::runtime_error("cannot open the program's settings in the registry");
}

std::optional<std::wstring> RegistryStore::Read(const std::wstring& name) {
    if (!key_) return std::nullopt;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD && size == sizeof(DWORD)) return std::to_wstring(static_cast<std::int32_t>(*reinterpret_cast<const DWORD*>(text.data())));
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring(L"?");  // no text: not a number
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

void RegistryStore::Write(const std::wstring& name, const std::wstring& value) {
    if (!key_) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            throw std::runtime_error("cannot write the program's settings in the registry");
        key_.reset(key);
    }
    if (RegSetValueExW(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write the program's settings in the registry");
}

void RegistryStore::Delete(const std::wstring& name) {
    if (key_) RegDeleteValueW(key_.get(), name.c_str());
}

}  // namespace velvane::mMain
