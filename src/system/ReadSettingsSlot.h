#pragma once

#include <string>

namespace velvane::mMain {

// The nine characters of this program's settings slot offset field, or EmptySlotMarker
// when the program file carries no package. Throws when the slot resource is missing.
std::wstring ReadSettingsSlot();

}  // namespace velvane::mMain
