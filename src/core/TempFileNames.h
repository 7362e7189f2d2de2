#pragma once
// Names of the program's own temporary image files and of its program file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/OpenSetNames.h"

namespace velvane {

constexpr std::uint32_t TempNameLimit = 16777215;  // the drawn part runs from 000000 to FFFFFE

// "~" + the owning copy's process id (8 digits) and start time (16), then the value (6), all
// upper-case hexadecimal, + ".tmp": a later copy can tell the files of a copy that no longer
// runs, and no other program's "~....tmp" looks like one.
std::wstring TempFileLeafName(const OpenSetOwner& owner, std::uint32_t value);
// The copy that made a file of that name; empty for any other name.
std::optional<OpenSetOwner> TempFileOwnerOf(const std::wstring& leaf);

// The folder of a module path + "\" + its name without extension + ".exe".
std::wstring ExePathFromModulePath(const std::wstring& modulePath);

// The first free name beside a program file: its folder, its name without extension,
// 1, 2, ... and ".exe". Empty when every number up to 32767 is taken.
std::wstring NumberedExePath(const std::wstring& exePath, const std::function<bool(const std::wstring&)>& exists);

}  // namespace velvane
