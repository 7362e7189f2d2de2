#pragma once
// The about window's own menu: what a copy can do before it holds any pin. A pin's items would
// act on a picture that is no pin.

#include "common/Scoped.h"

namespace velvane::mMain {

// Shows the menu at the pointer and does what is chosen; the about window may be gone afterwards.
void ShowAboutMenu(HWND about);

}  // namespace velvane::mMain
