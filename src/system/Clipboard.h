#pragma once
// Images to and from the clipboard, in the formats browsers and image editors use.

#include "common/Scoped.h"

#include <cstdint>
#include <string>
#include <vector>


namespace velvane::Clipboard {

// Puts a picture (premultiplied BGRA rows, top-down) on the clipboard as PNG and as a 32-bit
// DIB with alpha, and the files, when given, as copied files; false when there is none or the
// clipboard refuses it.
bool CopyImage(HWND owner, std::vector<std::uint8_t> pixels, std::int32_t width, std::int32_t height,
               const std::vector<std::wstring>& files = {});

// What Ctrl+V can pin: image data (PNG, a DIB with or without alpha) written to a
// temporary PNG file of our own, or image files the user copied. Both empty when the
// clipboard holds no image.
struct Pasted {
    std::wstring ownFile;
    std::vector<std::wstring> copiedFiles;
};
Pasted TakeImage(HWND owner);

}  // namespace velvane::Clipboard
