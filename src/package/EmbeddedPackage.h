#pragma once

#include <string>
#include <vector>

namespace velvane::mMain {

// Opens the windows of the package this program file carries and returns the
// temporary image files it wrote for them, in image order.
std::vector<std::wstring> LoadEmbeddedPackage(double packageOffset, bool DontDragActive, bool DontLoadEffect);

// The same for the package at an offset of any program file.
std::vector<std::wstring> LoadPackageFromFile(const std::wstring& programFile, double packageOffset,
                                              bool DontDragActive, bool DontLoadEffect);

}  // namespace velvane::mMain
