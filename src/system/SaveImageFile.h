#pragma once
// Writes one pin's picture to an image file the user picks.

#include "common/Scoped.h"
#include "core/Resample.h"

#include <string>

namespace velvane {

// Asks for a file with the standard Save dialog and writes the picture there; false when the
// user cancels or the write fails (the user is then told). The pixels are read after the
// dialog closes, so they must outlive it even if the owner goes meanwhile.
bool SaveImageAs(HWND owner, const ConstPixels& picture, const std::wstring& suggestedName);

}  // namespace velvane
