#pragma once
// "Open Image...": the standard Open dialog, several files at once.

#include "common/Scoped.h"

#include <string>
#include <vector>

namespace velvane {

// The files the user chose, images and pins files; none when cancelled.
std::vector<std::wstring> AskForImages(HWND owner);

}  // namespace velvane
