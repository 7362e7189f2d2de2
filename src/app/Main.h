#pragma once

#include <string>

#include "system/SettingsSection.h"

namespace velvane::mMain {

// Reads the command line and opens the windows it asks for, or closes every running
// copy's windows; shows the about window when asked or when no image list came about.
void Main();

// The program's arguments: the command line after the program's own name.
std::wstring ArgumentText(const wchar_t* commandLine);

}  // namespace velvane::mMain
