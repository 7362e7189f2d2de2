#pragma once

#include <string>
#include <vector>

namespace velvane::mMain {

// Opens the windows of the package this program file carries and returns the
// temporary image files it wrote for them, in image order.
std::vector<std::wstring> LoadEmbeddedPackage(double packageOffset, bool DontDragActive, bool DontLoadEffect);

}  // namespace velvane::mMain
