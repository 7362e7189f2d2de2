#pragma once
// Names of the program's own temporary image files and of its program file.

#include <cstdint>
#include <functional>
#include <string>

namespace velvane {

constexpr std::uint32_t TempNameLimit = 16777215;  // names run from ~0 to ~FFFFFE

// "~" + the value in upper-case hexadecimal without leading zeros + ".tmp".
std::wstring TempFileLeafName(std::uint32_t value);

// The folder of a module path + "\" + its name without extension + ".exe".
std::wstring ExePathFromModulePath(const std::wstring& modulePath);

// The first free name beside a program file: its folder, its name without extension,
// 1, 2, ... and ".exe". Empty when every number up to 32767 is taken.
std::wstring NumberedExePath(const std::wstring& exePath, const std::function<bool(const std::wstring&)>& exists);

}  // namespace velvane
