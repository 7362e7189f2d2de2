#pragma once
// A data object carrying a list of files, as Explorer hands one over in drag and drop.

#include <ole2.h>

#include <string>
#include <vector>

namespace velvane::testing {

// Returns a new object with one reference; the caller releases it.
IDataObject* NewFileListData(const std::vector<std::wstring>& paths);

}  // namespace velvane::testing
