#pragma once

#include <string>

namespace velvane::mMain {

// Where "closeall" finds the list of open windows: title + "." + major version. Any other
// section (the tests') also keeps its own pin sets and sign-in value, apart from the program's.
extern std::wstring SettingsSection;
std::wstring DefaultSettingsSection();
inline bool OwnSettingsSection() { return SettingsSection != DefaultSettingsSection(); }

// Reads the command line and opens the windows it asks for, or closes every running
// copy's windows; shows the about window when asked or when no image list came about.
void Main();

// The program's arguments: the command line after the program's own name.
std::wstring ArgumentText(const wchar_t* commandLine);

}  // namespace velvane::mMain
