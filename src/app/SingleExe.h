#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Scoped.h"

#include <optional>

#include "core/PackageBag.h"

namespace velvane::mMain {

// Writes a copy of this program beside it that carries the image and settings of the
// calling window, or of every image window, asking and reporting through message boxes.
// The caller may be closed while the question is open.
void MakeSingleExe(HWND caller, bool allImages);

// The first free "<program name><n>.exe" beside the running program file.
std::wstring SingleExeOutputPath();

// Writes out: a program file (the running one unless named) with its slot patched, then the
// package of the caller's window or of every image window (about windows are passed over)
// with the settings answer that ask gives once the program file has been read (6 Yes,
// 7 No). The windows are gathered after the answer, so windows closed or opened meanwhile
// are seen as they are. False, with nothing left on disk, on any failure.
bool WriteSelfContainedCopy(HWND caller, bool allImages, const std::function<std::int32_t()>& ask,
                            const std::wstring& out, const std::wstring& programFile = L"");

// The package of one window (only), or of every image window, with the settings answer;
// empty when no image window is left. Throws PackageError when an image cannot be read.
std::optional<PackageBag> PackWindows(HWND only, std::int32_t answer);
// The same for several windows (none: every one).
std::optional<PackageBag> PackWindows(const std::vector<HWND>& only, std::int32_t answer);

// The same package without the image bytes, which are read later, off the window thread:
// images gets, for each image number, the file whose bytes it is to hold (empty when it
// refers to an earlier one). AddImages fills them in, or throws PackageError.
std::optional<PackageBag> PackSettings(HWND only, std::int32_t answer, std::vector<std::wstring>& images);
std::optional<PackageBag> PackSettings(const std::vector<HWND>& only, std::int32_t answer, std::vector<std::wstring>& images);
void AddImages(PackageBag& bag, const std::vector<std::wstring>& images);

// Writes the file beside, flushed, then moves it over out: a failure midway leaves the old
// file whole. False when it could not be written.
bool ReplaceFile(const std::wstring& out, const std::vector<std::uint8_t>& bytes);

// Writes every image window of this copy, with its settings, as a pin set file (replacing
// one there). False on any failure, with a file that was there left as it was.
bool WritePinSet(const std::wstring& out);

}  // namespace velvane::mMain
