#include "app/GlobalKeys.h"

#include <algorithm>
#include <iterator>

#include "system/StoredPreferences.h"
#include "system/UserLock.h"

namespace velvane::GlobalKeys {
namespace {

// The states, four bits a key in the settings' order, on the owner window of the copy holding
// the keys, so that a Settings window of any copy can say what became of each.
constexpr wchar_t kStatesProperty[] = L"Velvane.KeyStates";

HotKey registered[5] = {};  // by Key; vk 0 while not held
bool leaving = false;       // the keys were passed on: a copy that ends never takes them back

void ForEachOther(HWND owner, const wchar_t* ownerClass, void (*tell)(HWND)) {
    for (HWND other = nullptr; (other = FindWindowExW(nullptr, other, ownerClass, nullptr)) != nullptr;)
        if (other != owner) tell(other);
}

HWND Publisher(const wchar_t* ownerClass) {
    for (HWND owner = nullptr; (owner = FindWindowExW(nullptr, owner, ownerClass, nullptr)) != nullptr;)
        if (GetPropW(owner, kStatesProperty)) return owner;
    return nullptr;
}

void Publish(HWND owner, const std::array<State, kGlobalKeyCount>& states) {
    std::uintptr_t packed = 1u << 16;  // never 0: a property of 0 is none
    for (std::size_t i = 0; i < states.size(); ++i) packed |= static_cast<std::uintptr_t>(states[i]) << (4 * i);
    SetPropW(owner, kStatesProperty, reinterpret_cast<HANDLE>(packed));
}

void Register(HWND owner) {
    const Preferences preferences = mMain::LoadPreferences();
    std::array<State, kGlobalKeyCount> states{};
    for (Key key : kKeys) {
        const GlobalKey setting = Setting(key);
        const std::size_t at = static_cast<std::size_t>(setting);
        const HotKey wanted = preferences.Key(setting);
        // A default that types a character here (Ctrl+Alt+V is AltGr+V, "@" on a Czech layout)
        // would take it from every program: only the user's own choice does that.
        if (wanted.None()) states[at] = State::Off;
        else if (!preferences.chosenKeys[at] && !mMain::TypedCharacter(wanted).empty()) states[at] = State::Types;
        else if (RegisterHotKey(owner, key, wanted.modifiers | MOD_NOREPEAT, wanted.vk)) states[at] = State::Held, registered[key] = wanted;
        else states[at] = State::Taken;
    }
    Publish(owner, states);
}

}  // namespace

GlobalKey Setting(Key key) {
    return key == HideShow ? GlobalKey::HideShow : key == PinFromScreen ? GlobalKey::PinFromScreen : key == PinClipboard ? GlobalKey::PinClipboard : GlobalKey::NextGroup;
}

void Take(HWND owner, bool resident) {
    if (!owner || leaving) return;
    // Copies starting together (files opened at once) ask in turn, so that one of them holds the
    // keys and the others see it does.
    const mMain::UserLock lock(L"GlobalKeys", 5000);
    wchar_t ownerClass[64] = L"";
    GetClassNameW(owner, ownerClass, 64);
    if (resident) {
        // Answered before this returns, so the keys are free when they are asked for below.
        ForEachOther(owner, ownerClass, [](HWND other) {
            SendMessageTimeoutW(other, WantedMessage(), 0, GetCurrentProcessId(), SMTO_ABORTIFHUNG, 1000, nullptr);
        });
    } else if (const HWND publisher = Publisher(ownerClass); publisher && publisher != owner) {
        return;  // another copy holds them
    }
    // What this copy held is registered again as set now: keys freed meanwhile are taken too.
    LetGo(owner);
    Register(owner);
}

void LetGo(HWND owner) {
    for (Key key : kKeys)
        if (!registered[key].None() && UnregisterHotKey(owner, key)) registered[key] = {};
    RemovePropW(owner, kStatesProperty);
}

void PassOn(HWND owner, const wchar_t* ownerClass) {
    leaving = true;
    if (!GetPropW(owner, kStatesProperty)) return;
    LetGo(owner);
    // Every other copy is asked; the first to ask Windows gets them.
    // Sent: each checks who tells it while this copy, about to end, still runs.
    ForEachOther(owner, ownerClass, [](HWND other) {
        SendMessageTimeoutW(other, FreeMessage(), 0, GetCurrentProcessId(), SMTO_ABORTIFHUNG, 1000, nullptr);
    });
}

bool Holds(Key key) { return !registered[key].None(); }

std::wstring KeyText(Key key) { return HotKeyName(registered[key]); }

std::array<State, kGlobalKeyCount> PublishedStates(const wchar_t* ownerClass) {
    std::array<State, kGlobalKeyCount> states{};
    const HWND publisher = Publisher(ownerClass);
    const auto packed = publisher ? reinterpret_cast<std::uintptr_t>(GetPropW(publisher, kStatesProperty)) : 0;
    for (std::size_t i = 0; i < states.size() && packed; ++i) {
        const auto state = static_cast<int>((packed >> (4 * i)) & 0xF);
        states[i] = state <= static_cast<int>(State::Types) ? static_cast<State>(state) : State::Unknown;
    }
    return states;
}

UINT FreeMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.GlobalKeysFree");
    return message;
}

UINT WantedMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.GlobalKeysWanted");
    return message;
}

}  // namespace velvane::GlobalKeys
