#pragma once
// Images to and from the clipboard, in the formats browsers and image editors use.

#include "common/Scoped.h"

#include <string>
#include <vector>

#include "core/Orientation.h"

namespace velvane::Clipboard {

// Puts the image file, drawn at the size factor and turned, on the clipboard as PNG and as
// a 32-bit DIB with alpha; false when it cannot be read or the clipboard refuses it.
bool CopyImage(HWND owner, const std::wstring& pngPath, float factor, Orientation turn);

// What Ctrl+V can pin: image data (PNG, a DIB with or without alpha) written to a
// temporary PNG file of our own, or image files the user copied. Both empty when the
// clipboard holds no image.
struct Pasted {
    std::wstring ownFile;
    std::vector<std::wstring> copiedFiles;
};
Pasted TakeImage(HWND owner);

}  // namespace velvane::Clipboard
