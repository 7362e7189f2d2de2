#pragma once

#include <string>

namespace velvane::mMain {

// True when the path, trimmed of spaces, names at least one existing file (wildcards in
// the last part allowed); folders do not count.
bool FileExists(const std::wstring& Path);

}  // namespace velvane::mMain
