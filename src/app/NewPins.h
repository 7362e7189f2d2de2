#pragma once
// Pins the user makes now: they look as the settings say new pins do.

#include "common/Scoped.h"

#include <string>

namespace velvane::mMain {

// Opens an image file of our own centred on a point, at size 1, looking as new pins do, at once
// without its fade when instant; the file goes when no window could show it. A card shows its text.
void PinOwnFile(const std::wstring& file, POINT centre, bool instant, const std::wstring& card = {});

// A file the user opens now, centred on the screen, looking as new pins do.
void OpenNewPin(const std::wstring& path);

// Pins the clipboard's image, or the image files copied to it, or else its text as a card,
// centred on the point; false when it holds none.
bool PinClipboard(HWND owner, POINT at);

}  // namespace velvane::mMain
