#pragma once
// Images to and from the clipboard, in the formats browsers and image editors use.

#include "common/Scoped.h"

#include <cstdint>
#include <string>
#include <vector>


namespace velvane::Clipboard {

// Puts a picture (premultiplied BGRA rows, top-down) on the clipboard as PNG and as a 32-bit
// DIB with alpha, and the files and text, when given, as copied files and text; false when there
// is none or the clipboard refuses it.
bool CopyImage(HWND owner, std::vector<std::uint8_t> pixels, std::int32_t width, std::int32_t height,
               const std::vector<std::wstring>& files = {}, const std::wstring& text = {});

// What Ctrl+V can pin: image data (PNG, a DIB with or without alpha) written to a
// temporary PNG file of our own, or image files the user copied, or else text. All empty when
// the clipboard holds none of them.
struct Pasted {
    std::wstring ownFile;
    std::vector<std::wstring> copiedFiles;
    std::wstring text;
};
Pasted TakeImage(HWND owner);

}  // namespace velvane::Clipboard
