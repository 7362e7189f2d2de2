#pragma once
// Image data that programs hand over, on the clipboard (Ctrl+V) or in a drop: PNG bytes, or a
// DIB with or without alpha. Both are read here, into a PNG file of ours.

#include "common/Scoped.h"

#include <string>
#include <vector>

namespace velvane {

// The registered "PNG" format, as browsers and image editors name it.
UINT PngFormat();

// The formats that carry image data, in the order a drop takes them: a PNG as the program
// made it before a bitmap.
std::vector<UINT> ImageDataFormats();

// Writes data of one of those formats to the file, a PNG whatever the format; false when
// the format is none of them or its data cannot be read.
bool WriteImageData(UINT format, HGLOBAL data, const std::wstring& path);

}  // namespace velvane
