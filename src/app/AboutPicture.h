#pragma once
// The about window's picture: the program's about image with one line beneath it that says
// where the menu is and which key pins from the screen, in the user's message font.

#include <string>

namespace velvane::mMain {

// Writes the picture as a PNG file; false when it cannot be made.
bool WriteAboutPicture(const std::wstring& file);

}  // namespace velvane::mMain
