#pragma once
// A pin dragged out of the program: to a folder, a mail, a document, or another copy's pin.

#include <string>

#include "core/Resample.h"

namespace velvane {

// Drags the picture out as a PNG file named after the pin (and as the image itself) until the
// drop ends; the file stays in the temporary folder until this copy ends (the target may read
// it after the drop returns). fileName is the pin's file, a path or a bare name, empty for
// none. The picture is read before the drag starts: it need not outlive the call. Nothing is
// dragged when the left button is up by then, or when the picture cannot be encoded.
void DragOutImage(const ConstPixels& picture, const std::wstring& fileName);

}  // namespace velvane
