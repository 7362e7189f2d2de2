#pragma once
// Files a program offers without a path of their own (an image dragged out of a browser, a
// file inside an archive or a mail): the shell's file descriptors, each file's contents
// beside them.

#include <ole2.h>

#include <string>
#include <vector>

namespace velvane {

bool OffersVirtualFiles(IDataObject* data);

// Each file's contents in a temporary file of ours, in their order. The descriptors' names
// are never used: the decoders go by the bytes. Folders, and files larger than any image
// the program takes, are left out.
std::vector<std::wstring> TakeVirtualFiles(IDataObject* data);

}  // namespace velvane
