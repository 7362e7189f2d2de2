#pragma once

#include <string>

namespace velvane {
class FrmLogo;

namespace mMain {

// Writes a copy of this program beside it that carries the image and settings of the
// calling window, or of every image window, asking and reporting through message boxes.
void MakeSingleExe(FrmLogo& caller, bool allImages);

// The first free "<program name><n>.exe" beside the running program file.
std::wstring SingleExeOutputPath();

}  // namespace mMain
}  // namespace velvane
