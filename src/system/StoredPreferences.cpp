#include "system/StoredPreferences.h"

#include <exception>

#include "system/RegistryStore.h"

namespace velvane::mMain {

Preferences LoadPreferences() {
    try {
        RegistryStore store;
        return ReadPreferences(store);
    } catch (const std::exception&) {
        return Preferences{};
    }
}

bool SavePreferences(const Preferences& preferences) {
    try {
        RegistryStore store;
        WritePreferences(store, preferences);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

UINT PreferencesChangedMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.PreferencesChanged");
    return message;
}

std::wstring TypedCharacter(HotKey key) {
    // Only Ctrl+Alt (AltGr) keys type on some layouts; with Win a key never types.
    if (key.None() || (key.modifiers & HotKey::kWin) || (key.modifiers & (HotKey::kCtrl | HotKey::kAlt)) != (HotKey::kCtrl | HotKey::kAlt))
        return {};
    BYTE state[256] = {};
    state[VK_CONTROL] = state[VK_MENU] = state[VK_LCONTROL] = state[VK_RMENU] = 0x80;
    if (key.modifiers & HotKey::kShift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    const HKL layout = GetKeyboardLayout(0);
    const UINT scan = MapVirtualKeyExW(key.vk, MAPVK_VK_TO_VSC, layout);
    wchar_t typed[8] = {};
    // 4: leave the keyboard's dead-key state as it was (Windows 10 1607 on; earlier ignore it).
    int count = ToUnicodeEx(key.vk, scan, state, typed, 8, 4, layout);
    if (count < 0) {
        // A dead key: typed with a space after it, it shows; the second call also clears what it left.
        BYTE none[256] = {};
        wchar_t flushed[8] = {};
        ToUnicodeEx(VK_SPACE, MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, layout), none, flushed, 8, 4, layout);
        return std::wstring(1, typed[0]);
    }
    if (count <= 0) return {};
    std::wstring text(typed, static_cast<std::size_t>(count));
    // Control characters (Ctrl turning a letter into one) type nothing the user would miss.
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F) return {};
    return text;
}

}  // namespace velvane::mMain
