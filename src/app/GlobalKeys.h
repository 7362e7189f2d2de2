#pragma once
// The keys that work wherever the keyboard is: Ctrl+Alt+H hides or shows every pin,
// Ctrl+Alt+P pins from the screen, Ctrl+Alt+V pins the clipboard, Ctrl+Alt+G shows the next
// group of pins. Held by one copy at a
// time, never twice: the resident copy while it runs, else the first copy that asks; a
// copy that ends passes them on.

#include "common/Scoped.h"

namespace velvane::GlobalKeys {

enum Key : int { HideShow = 1, PinFromScreen = 2, PinClipboard = 3, NextGroup = 4 };
constexpr Key kKeys[] = {HideShow, PinFromScreen, PinClipboard, NextGroup};

// Registers, for the owner window, the keys this copy does not hold yet. The resident copy
// first asks the copy that holds them to let them go.
void Take(HWND owner, bool resident);

// A copy that ends lets its keys go and tells the other copies (owner windows of this class).
void PassOn(HWND owner, const wchar_t* ownerClass);

// The copy holding the keys gives them to a resident copy that asks.
void LetGo(HWND owner);

bool Holds(Key key);
const wchar_t* KeyText(Key key);

// How copies ask one another: the keys are free, the resident copy wants them (lParam: the
// asking copy's process id).
UINT FreeMessage();
UINT WantedMessage();

}  // namespace velvane::GlobalKeys
