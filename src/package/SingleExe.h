#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velvane {
class FrmLogo;

namespace mMain {

// Writes a copy of this program beside it that carries the image and settings of the
// calling window, or of every image window, asking and reporting through message boxes.
void MakeSingleExe(FrmLogo& caller, bool allImages);

// The first free "<program name><n>.exe" beside the running program file.
std::wstring SingleExeOutputPath();

// Writes out: a program file (the running one unless named) with its slot patched, then the package of these
// windows (about windows are passed over) with the settings answer that ask gives once
// the program file has been read (6 Yes, 7 No). False, with nothing left on disk, on
// any failure.
bool WriteSelfContainedCopy(const std::vector<const FrmLogo*>& windows, const std::function<std::int32_t()>& ask,
                            const std::wstring& out, const std::wstring& programFile = L"");

}  // namespace mMain
}  // namespace velvane
