#pragma once
// Where a selection dragged over the screen lies, in the virtual screen's physical pixels
// (negative left of or above the primary monitor). Portable.

#include <cstdint>
#include <optional>

#include "core/PixelRect.h"

namespace velvane::capture {

struct Pixel {
    std::int32_t x = 0, y = 0;
};


// The pixels between where the button went down and where the pointer is now, both
// corners included whichever way the drag went, kept on the screen.
PixelRect DraggedRect(Pixel from, Pixel to, const PixelRect& screen);

// A press and release this close together is a click: it picks a window, not a rectangle.
bool IsClick(Pixel from, Pixel to);

// The part of a window's bounds that is on the screen; empty when none is.
PixelRect OnScreen(const PixelRect& bounds, const PixelRect& screen);

// Where the label that gives the selection's size goes: below its bottom-left corner, else
// above it, else inside; always wholly on the screen.
Pixel LabelPlace(const PixelRect& selection, std::int32_t labelWidth, std::int32_t labelHeight, const PixelRect& screen);

}  // namespace velvane::capture
