#pragma once
// Which group of pins shows, across every running copy: kept per user beside the program's
// other settings, told to every copy's pins by a message, and each pin's group published on
// its window so that any copy can tell which groups have pins.

#include "common/Scoped.h"

#include <array>

#include "core/PinGroups.h"

namespace velvane::mMain {

// The group shown (kAllGroups for all); all when the stored value cannot be read.
int ShownGroup();
// The group a new pin goes to: the one shown last (1 at first).
int NewPinGroup();

// Shows that group's pins of every running copy and hides the others (all for kAllGroups);
// the choice is kept.
void ShowGroupAllRunning(int group);
// The groups that have pins in any running copy, indexed by group.
std::array<bool, kGroups + 1> GroupsWithPins();

// Asks a pin of any copy to show the group in wParam; lParam names the asking copy's process.
UINT ShowGroupMessage();
// A pin's group, as its window shows it to other copies (0: none, as the window goes).
void PublishGroup(HWND pin, int group);

}  // namespace velvane::mMain
