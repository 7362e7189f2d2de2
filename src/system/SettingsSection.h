#pragma once
// The section of the per-user settings store that this copy works in.

#include <string>

namespace velvane::mMain {

// Where "closeall" finds the list of open windows: title + "." + major version. Any other
// section (the tests') also keeps its own pin sets and sign-in value, apart from the program's.
extern std::wstring SettingsSection;
std::wstring DefaultSettingsSection();
inline bool OwnSettingsSection() { return SettingsSection != DefaultSettingsSection(); }

}  // namespace velvane::mMain
