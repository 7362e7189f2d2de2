#pragma once
// The file paths that a data object carries, dropped or on the clipboard (the shell's file list).

#include "common/Scoped.h"

#include <ole2.h>

#include <string>
#include <vector>

namespace velvane {

FORMATETC FileListFormat();

// In its order; empty when it carries none.
std::vector<std::wstring> DroppedPaths(IDataObject* data);

}  // namespace velvane
