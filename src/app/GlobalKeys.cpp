#include "app/GlobalKeys.h"

#include <algorithm>
#include <iterator>

namespace velvane::GlobalKeys {
namespace {

// What each key is called, by Key.
constexpr const wchar_t* kKeyTexts[] = {L"", L"Ctrl+Alt+H", L"Ctrl+Alt+P", L"Ctrl+Alt+V", L"Ctrl+Alt+G"};
bool held[5] = {};
bool leaving = false;  // the keys were passed on: a copy that ends never takes them back

UINT VirtualKey(Key key) { return key == HideShow ? 'H' : key == PinFromScreen ? 'P' : key == PinClipboard ? 'V' : 'G'; }

void ForEachOther(HWND owner, const wchar_t* ownerClass, void (*tell)(HWND)) {
    for (HWND other = nullptr; (other = FindWindowExW(nullptr, other, ownerClass, nullptr)) != nullptr;)
        if (other != owner) tell(other);
}

}  // namespace

void Take(HWND owner, bool resident) {
    if (!owner || leaving) return;
    if (resident) {
        wchar_t ownerClass[64] = L"";
        GetClassNameW(owner, ownerClass, 64);
        // Answered before this returns, so the keys are free when they are asked for below.
        ForEachOther(owner, ownerClass, [](HWND other) {
            SendMessageTimeoutW(other, WantedMessage(), 0, GetCurrentProcessId(), SMTO_ABORTIFHUNG, 1000, nullptr);
        });
    }
    for (Key key : kKeys)
        if (!held[key]) held[key] = RegisterHotKey(owner, key, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VirtualKey(key)) != FALSE;
}

void LetGo(HWND owner) {
    for (Key key : kKeys)
        if (held[key]) held[key] = !UnregisterHotKey(owner, key);
}

void PassOn(HWND owner, const wchar_t* ownerClass) {
    leaving = true;
    if (std::none_of(std::begin(kKeys), std::end(kKeys), Holds)) return;
    LetGo(owner);
    // Every other copy is asked; the first to ask Windows gets them.
    // Sent: each checks who tells it while this copy, about to end, still runs.
    ForEachOther(owner, ownerClass, [](HWND other) {
        SendMessageTimeoutW(other, FreeMessage(), 0, GetCurrentProcessId(), SMTO_ABORTIFHUNG, 1000, nullptr);
    });
}

bool Holds(Key key) { return held[key]; }

const wchar_t* KeyText(Key key) { return kKeyTexts[key]; }

UINT FreeMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.GlobalKeysFree");
    return message;
}

UINT WantedMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.GlobalKeysWanted");
    return message;
}

}  // namespace velvane::GlobalKeys
