#pragma once
// The file paths that a data object carries, dropped or on the clipboard (the shell's file
// list), and what a drop from another program opens.

#include "common/Scoped.h"

#include <ole2.h>

#include <string>
#include <vector>

namespace velvane {

FORMATETC FileListFormat();

// What marks a pin dragged out of a copy of this program (any copy, this one too).
FORMATETC DraggedPinFormat();
bool IsDraggedPin(IDataObject* data);

// In its order; empty when it carries none.
std::vector<std::wstring> DroppedPaths(IDataObject* data);

// A drop's images, taken in this order: files (Explorer's list), else virtual files (a
// browser's image, a file inside an archive), else image data (PNG or a bitmap). Read while
// the drop lasts: virtual files and image data go into temporary files of ours, the own files.
// A dragged pin's file is never taken: the copy it came from removes it when it ends.
struct DroppedImages {
    std::vector<std::wstring> files, ownFiles;
    bool empty() const { return files.empty() && ownFiles.empty(); }
};
// Whether a drop of the data would open anything, told while it is dragged over.
bool OffersImages(IDataObject* data);
DroppedImages TakeDroppedImages(IDataObject* data);

}  // namespace velvane
