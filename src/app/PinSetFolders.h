#pragma once
// Where pin sets live: %LOCALAPPDATA%\Velvane\Open\ for the sets of running copies (and of
// copies that ended without the user), Closed\ for the sets the user ended.

#include <optional>
#include <string>
#include <vector>

namespace velvane::mMain {

// %LOCALAPPDATA%\Velvane\<leaf>\ (under another settings section's own folder), made when
// missing; empty when it cannot be had.
std::optional<std::wstring> PinSetFolder(const wchar_t* leaf);

// The files of a folder that match the pattern, sorted by name.
std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern);

bool EndsWith(const std::wstring& text, const wchar_t* end);
bool Exists(const std::wstring& path);

}  // namespace velvane::mMain
