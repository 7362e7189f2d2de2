#pragma once
// The user's settings as kept per user in the registry, and the message that tells every running
// copy they changed.

#include "common/Scoped.h"

#include "core/Preferences.h"

namespace velvane::mMain {

// What is stored; defaults for whatever cannot be read, even the whole key.
Preferences LoadPreferences();
// False when the registry refused.
bool SavePreferences(const Preferences& preferences);

// Sent to each copy's owner window after a write: it takes the new values at once.
UINT PreferencesChangedMessage();

// The character a key types on this thread's keyboard layout (AltGr is Ctrl+Alt), empty when it
// types none: such a key taken by the program would stop that character being typed anywhere.
std::wstring TypedCharacter(HotKey key);

}  // namespace velvane::mMain
