#pragma once
// "Save Pins...": every image window of this copy, with its settings, into a pin set
// file the user names in the standard Save dialog.

#include "common/Scoped.h"

namespace velvane {

void SavePins(HWND owner);

}  // namespace velvane
