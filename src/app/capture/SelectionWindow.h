#pragma once
// The selecting window: the screen as it was taken, dimmed, over the whole virtual screen.
// A drag picks a rectangle (shown bright, outlined, its size in pixels beside it), a click
// the window under the pointer; arrow keys move the pointer by a pixel for exact edges.

#include <optional>

#include "core/Selection.h"
#include "system/ScreenShot.h"

namespace velvane::capture {

// Returns once the user has chosen; empty when cancelled (Esc, a right-click, another
// window taken to the front), leaving nothing behind.
std::optional<PixelRect> SelectOnScreen(const ScreenShot& shot);

// A selecting window of this copy still being taken down would be in the next screen's copy.
void WaitWhileSelectionGoes();

constexpr const wchar_t* SelectionWindowClass = L"Velvane.Selection";

}  // namespace velvane::capture
