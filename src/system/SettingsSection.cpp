#include "system/SettingsSection.h"

#include "common/ProgramTexts.h"

namespace velvane::mMain {

std::wstring DefaultSettingsSection() { return std::wstring(ProgramTitle) + L"." + std::to_wstring(MajorVersion); }
std::wstring SettingsSection = DefaultSettingsSection();

}  // namespace velvane::mMain
