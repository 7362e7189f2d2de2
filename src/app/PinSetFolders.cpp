#include "app/PinSetFolders.h"

#include "common/Scoped.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "system/SettingsSection.h"

namespace velvane::mMain {

std::optional<std::wstring> PinSetFolder(const wchar_t* leaf) {
    wchar_t* local = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) return std::nullopt;
    std::wstring path = std::wstring(local) + L"\\Velvane\\";
    CoTaskMemFree(local);
    CreateDirectoryW(path.c_str(), nullptr);
    if (OwnSettingsSection()) {
        path += SettingsSection + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    path += leaf;
    path += L"\\";
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return path;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(const std::wstring& text, const wchar_t* end) {
    const std::wstring tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace velvane::mMain
