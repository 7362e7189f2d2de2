#include "system/ShownGroup.h"

#include <string>

#include "common/ProgramTexts.h"
#include "system/SettingsSection.h"
#include "system/WindowRegistry.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kGroupProperty[] = L"Velvane.Group";
constexpr wchar_t kShownValue[] = L"ShownGroup", kLastValue[] = L"LastGroup";

std::wstring KeyPath() { return std::wstring(L"Software\\") + ProgramTitle + L"\\" + SettingsSection; }

// A stored group, or fallback when the value is absent, of another type or out of range.
int ReadGroup(const wchar_t* name, int fallback, bool allowAll) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, KeyPath().c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return fallback;
    if (allowAll && value == kAllGroups) return kAllGroups;
    return IsGroup(value) ? static_cast<int>(value) : fallback;
}

void WriteGroup(const wchar_t* name, int group) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS) return;
    const ScopedRegKey key(raw);
    const DWORD value = static_cast<DWORD>(group);
    RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

int ShownGroup() { return ReadGroup(kShownValue, kAllGroups, true); }

int NewPinGroup() { return ReadGroup(kLastValue, 1, false); }

void ShowGroupAllRunning(int group) {
    if (group != kAllGroups && !IsGroup(group)) return;
    WriteGroup(kShownValue, group);
    if (group != kAllGroups) WriteGroup(kLastValue, group);
    for (HWND pin : AllRunningPins())
        SendMessageTimeoutW(pin, ShowGroupMessage(), static_cast<WPARAM>(group), static_cast<LPARAM>(GetCurrentProcessId()), SMTO_ABORTIFHUNG,
                            2000, nullptr);
}

std::array<bool, kGroups + 1> GroupsWithPins() {
    std::array<bool, kGroups + 1> has{};
    for (HWND pin : AllRunningPins()) {
        const auto group = reinterpret_cast<INT_PTR>(GetPropW(pin, kGroupProperty));
        if (IsGroup(static_cast<double>(group))) has[static_cast<std::size_t>(group)] = true;
    }
    return has;
}

UINT ShowGroupMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.ShowGroup");
    return message;
}

void PublishGroup(HWND pin, int group) {
    if (group == 0) RemovePropW(pin, kGroupProperty);
    else SetPropW(pin, kGroupProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(group)));
}

}  // namespace velvane::mMain
