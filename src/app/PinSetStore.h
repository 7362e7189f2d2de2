#pragma once
// Pins that are never lost: each running copy keeps the pin set of its image windows in
// %LOCALAPPDATA%\Velvane\Open\ (written within a second of a change, at most five seconds
// after it however many follow, and when Windows ends the session). The one rule: only the
// user closing a pin (Esc, double-click) takes it out of the set. A copy that ends by the
// user's word (Exit and its keys, close-all, the icon's Exit, its last pin closed) moves
// the set it last showed whole to Closed\ once; a crash or the session's end leaves it in
// Open\ for "restore".

#include <cstdint>
#include <string>

namespace velvane::mMain {

// A window opened, moved, sized or had a setting changed, or the user closed one.
void PinsChanged();

// While one lives, changes wait to be saved until it goes: many pins opened at once (a
// command line of files, a restore) write the set once, not once a second as they come.
class SavesHeld {
public:
    SavesHeld();
    ~SavesHeld();
    SavesHeld(const SavesHeld&) = delete;
    SavesHeld& operator=(const SavesHeld&) = delete;
};

// A window is unloading: the last image window closed by the user retires the set, with
// that window in it (and a copy that goes on starts a new one); any other is a change.
// Nothing once the copy has ended.
void WindowLeaves(bool lastImage, bool copyGoesOn);

// Writes this copy's set now (only its settings when its images are already written);
// false when it could not be (it is tried again within a few seconds).
bool SavePinsNow();

// The copy ends: its set, brought up to date while its windows are still there, becomes
// the newest closed set (marked with the close-all that ended it, when one did), once;
// nothing that follows changes it.
// True when this call retired it.
bool RetirePins(std::uint32_t closeAll = 0);

// The copy ends without the user's word (a failure, the end of the session): its set,
// brought up to date, stays in Open\ for "restore", and nothing that follows changes it.
void KeepPinsOpen();

// The resident copy lives on past a retired set: the pins it opens next make a new one.
void StartNewPinSet();

// Opens, and takes over as this copy's own, the set of every copy that no longer runs
// (and what an earlier restore could not open), or else, unless only what was open when
// the session ended is asked for, the newest closed sets. Damaged sets are left alone; a
// set is let go only once all of it is open. False when there was nothing to open.
// Restored pins show at once, without the fade.
bool RestorePins(bool DontDragActive, bool openSetsOnly = false);

// The windows restores could not open, kept now in sets of their own (once this copy's own set
// holds the rest), or tried again shortly.
void KeepWhatRestoresDidNotOpen();
void KeepAgainSoon();

// Where this copy's set lives; empty when there is no folder for it.
std::wstring OwnPinSetPath();

// A number that names one close-all, which the copies it ends give their sets.
std::uint32_t NewCloseAll();

}  // namespace velvane::mMain
