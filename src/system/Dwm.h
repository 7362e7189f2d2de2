#pragma once
// What the desktop window manager knows of a window. DWM is loaded when there (Windows 8
// and later tell more), not linked, so the program starts where it is missing.

#include "common/Scoped.h"

#include <optional>

namespace velvane {

// A window on another virtual desktop, or of a suspended app: visible to the API, not on the screen.
bool Cloaked(HWND hwnd);

// The bounds of what shows of a window, without the invisible resize borders Windows 10
// adds around it; the window's rectangle where DWM cannot tell.
RECT VisibleBounds(HWND hwnd);

}  // namespace velvane
