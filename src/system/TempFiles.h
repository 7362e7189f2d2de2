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

// A fresh folder in the temporary folder, named as MakeTempFileName names files, for a file
// that must carry a name of its own. It goes, with the files in it, wherever this process's
// temporary files go. Empty when none can be made.
std::optional<std::wstring> MakeTempFolder();

// True for a file that this process made with MakeTempFileName and has not deleted:
// only those are removed when their window closes, never an image of the user's.
bool IsOwnTempFile(const std::wstring& path);

// Writes a custom resource of this program to a file; false on any failure.
bool SaveResourceToFile(const wchar_t* ResId, const wchar_t* ResType, const std::wstring& FilePath);

// Deletes a file even when read-only. Never fails, and never lets window messages run: it is
// called in the middle of a window's unload.
void DeleteFileForced(const std::wstring& FilePath);

// Deletes every temporary file and folder this process made and still has.
void DeleteOwnTempFiles();

// Deletes the temporary files and folders of copies that no longer run (the end of a session
// leaves them, a crash too); another program's files are never named like ours.
void RemoveTempFilesOfEndedCopies();

// Full path of the running program file, always ending in ".exe".
std::wstring OwnExePath();

}  // namespace velvane::mMain
