#pragma once
// Pins that are never lost: each running copy keeps the pin set of its image windows in
// %LOCALAPPDATA%\Velvane\Open\ (written within a second of any change, and when Windows
// ends the session); a copy the user ends moves its set to Closed\ (the ten newest kept);
// "restore" opens the sets of copies that ended any other way.

#include <string>

namespace velvane::mMain {

// A window opened, closed, moved, sized or had a setting changed.
void PinsChanged();

// Writes this copy's set now (only its settings when its images are already written);
// false when it could not be, and it is tried again at the next change.
bool SavePinsNow();

// The user ends this copy: its set, brought up to date while its windows are still there,
// becomes the newest closed set.
void RetirePins();

// Opens, and takes over as this copy's own, the set of every copy that no longer runs, or
// else the newest closed set; damaged sets are left alone. False when nothing opened.
bool RestorePins(bool DontDragActive, bool DontLoadEffect);

// Where this copy's set lives; empty when there is no folder for it.
std::wstring OwnPinSetPath();

}  // namespace velvane::mMain
