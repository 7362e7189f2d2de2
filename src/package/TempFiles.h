#pragma once
// Temporary image files and the program's own path.

#include <optional>
#include <string>

namespace velvane::mMain {

// The system's temporary folder, ending in a backslash; empty when it cannot be had.
std::wstring GetTempFolder();

// A fresh "~HEX.tmp" path in the temporary folder. The file is created empty and
// exclusively, so no other copy of the program can pick the same name; the caller
// writes it. Empty when no temporary file can be made there.
std::optional<std::wstring> MakeTempFileName();

// True for a file that this process made with MakeTempFileName and has not deleted:
// only those are removed when their window closes, never an image of the user's.
bool IsOwnTempFile(const std::wstring& path);

// Writes a custom resource of this program to a file; false on any failure.
bool SaveResourceToFile(const wchar_t* ResId, const wchar_t* ResType, const std::wstring& FilePath);

// Deletes a file even when read-only, then lets waiting window messages run. Never fails.
void DeleteFileForced(const std::wstring& FilePath);

// Full path of the running program file, always ending in ".exe".
std::wstring OwnExePath();

}  // namespace velvane::mMain
