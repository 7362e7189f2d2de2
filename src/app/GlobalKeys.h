#pragma once
// The keys that work wherever the keyboard is (by default Ctrl+Alt+H hides or shows every pin,
// Ctrl+Alt+P pins from the screen, Ctrl+Alt+V pins the clipboard, Ctrl+Alt+G shows the next
// group of pins), as the user set them. Held by one copy at a time, never twice: the resident
// copy while it runs, else the first copy that asks; a copy that ends passes them on.

#include "common/Scoped.h"

#include <array>
#include <string>

#include "core/Preferences.h"

namespace velvane::GlobalKeys {

enum Key : int { HideShow = 1, PinFromScreen = 2, PinClipboard = 3, NextGroup = 4 };
constexpr Key kKeys[] = {HideShow, PinFromScreen, PinClipboard, NextGroup};
GlobalKey Setting(Key key);

// What became of a key in the copy holding them: registered, refused by the system (another
// program has it), set to none, a default left unregistered because it types a character on this
// keyboard layout, or not known (no copy holds the keys).
enum class State : int { Unknown, Held, Taken, Off, Types };

// Registers, for the owner window, the keys as the user set them (again, when this copy holds
// them: after a change of the settings, or keys freed), unless another copy holds them. The
// resident copy first asks the copy that holds them to let them go.
void Take(HWND owner, bool resident);

// A copy that ends lets its keys go and tells the other copies (owner windows of this class).
void PassOn(HWND owner, const wchar_t* ownerClass);

// The copy holding the keys gives them to a resident copy that asks.
void LetGo(HWND owner);

bool Holds(Key key);
// The key's name as registered ("Ctrl+Alt+P").
std::wstring KeyText(Key key);

// The states the copy holding the keys published, in the settings' order, from whichever copy.
std::array<State, kGlobalKeyCount> PublishedStates(const wchar_t* ownerClass);

// How copies ask one another: the keys are free, the resident copy wants them (lParam: the
// asking copy's process id).
UINT FreeMessage();
UINT WantedMessage();

}  // namespace velvane::GlobalKeys
