#pragma once

namespace velvane::mMain {

// Writes a copy of this program that carries this window's image (or all images) with
// their settings, asking and reporting through message boxes.
void MakeSingleExe(bool allImages);

}  // namespace velvane::mMain
