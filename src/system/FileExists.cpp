#include "system/FileExists.h"

#include "common/Scoped.h"

namespace velvane::mMain {

bool FileExists(const std::wstring& Path) {
    const std::size_t first = Path.find_first_not_of(L' ');
    if (first == std::wstring::npos) return false;
    const std::wstring trimmed = Path.substr(first, Path.find_last_not_of(L' ') - first + 1);

    // A name the file system cannot even look up (stray "|" or "<" in the command
    // text) simply names no file.
    WIN32_FIND_DATAW found;
    ScopedFind search(FindFirstFileW(trimmed.c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    } while (FindNextFileW(search.get(), &found));
    return false;
}

}  // namespace velvane::mMain
