#include "system/TempFiles.h"

#include <chrono>
#include <random>
#include <set>
#include <stdexcept>

#include "common/Scoped.h"
#include "core/TempFileNames.h"
#include "system/OwnResources.h"
#include "system/RunningCopies.h"

namespace velvane::mMain {
namespace {

std::set<std::wstring>& OwnTempFiles() {
    static std::set<std::wstring> files;
    return files;
}

std::set<std::wstring>& OwnTempFolders() {
    static std::set<std::wstring> folders;
    return folders;
}

// Seeded from the time of day and the process, so two copies started in the same
// second do not draw the same names.
std::mt19937& NameGenerator() {
    static std::mt19937 generator([] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        std::seed_seq seed{static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(now).count() % 86400),
                           static_cast<unsigned>(GetCurrentProcessId()), static_cast<unsigned>(ticks),
                           static_cast<unsigned>(ticks >> 32)};
        return std::mt19937(seed);
    }());
    return generator;
}

// A fresh name of ours in the temporary folder, taken by make (which fails, the name already
// existing, when another copy or program has it).
template <class Make>
std::optional<std::wstring> TakeFreshName(const std::wstring& folder, Make make) {
    std::uniform_int_distribution<std::uint32_t> draw(0, TempNameLimit - 1);
    for (int attempt = 0; attempt < 4096; ++attempt) {
        std::wstring candidate = folder + TempFileLeafName(ThisCopy(), draw(NameGenerator()));
        if (make(candidate)) return candidate;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

// Only the files directly in it: a folder of ours never holds another. True once it is gone.
bool RemoveFolderWithFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    if (const ScopedFind search(FindFirstFileW((folder + L"\\*").c_str(), &found)); search) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring file = folder + L"\\" + found.cFileName;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        } while (FindNextFileW(search.get(), &found));
    }
    return RemoveDirectoryW(folder.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::wstring GetTempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    // A longer path leaves the buffer untouched: it names no folder.
    if (n == 0 || n > MAX_PATH) return L"";
    return std::wstring(buffer, n);
}

std::optional<std::wstring> MakeTempFileName() {
    const std::wstring folder = GetTempFolder();
    // Without a temporary folder the name would land in the current directory, among
    // the user's files: refuse instead.
    if (folder.empty()) return std::nullopt;
    std::optional<std::wstring> file = TakeFreshName(folder, [](const std::wstring& candidate) {
        return static_cast<bool>(ScopedFile(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                        FILE_ATTRIBUTE_NORMAL, nullptr)));
    });
    if (file) OwnTempFiles().insert(*file);
    return file;
}

std::optional<std::wstring> MakeTempFolder() {
    const std::wstring folder = GetTempFolder();
    if (folder.empty()) return std::nullopt;
    std::optional<std::wstring> made = TakeFreshName(folder, [](const std::wstring& candidate) {
        return CreateDirectoryW(candidate.c_str(), nullptr) != FALSE;
    });
    if (made) OwnTempFolders().insert(*made);
    return made;
}

bool IsOwnTempFile(const std::wstring& path) { return OwnTempFiles().count(path) != 0; }

bool SaveResourceToFile(const wchar_t* ResId, const wchar_t* ResType, const std::wstring& FilePath) {
    const ResourceBytes bytes = FindOwnResource(ResId, ResType);
    if (!bytes.data) return false;
    ScopedFile file(CreateFileW(FilePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data, static_cast<DWORD>(bytes.size), &written, nullptr) &&
           written == bytes.size;
}

void DeleteFileForced(const std::wstring& FilePath) {
    SetFileAttributesW(FilePath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(FilePath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) OwnTempFiles().erase(FilePath);
}

void DeleteOwnTempFiles() {
    for (const std::wstring& file : std::set<std::wstring>(OwnTempFiles())) DeleteFileForced(file);
    for (auto folder = OwnTempFolders().begin(); folder != OwnTempFolders().end();)
        folder = RemoveFolderWithFiles(*folder) ? OwnTempFolders().erase(folder) : std::next(folder);
}

void RemoveTempFilesOfEndedCopies() {
    const std::wstring folder = GetTempFolder();
    WIN32_FIND_DATAW found{};
    const ScopedFind search(folder.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW((folder + L"~*.tmp").c_str(), &found));
    if (!search) return;
    do {
        const auto owner = TempFileOwnerOf(found.cFileName);
        if (!owner || StillRuns(*owner)) continue;
        const std::wstring path = folder + found.cFileName;
        // A link in a folder's place leads somewhere that is not ours to empty.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(path.c_str());
        else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveFolderWithFiles(path);
    } while (FindNextFileW(search.get(), &found));
}

std::wstring OwnExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) throw std::runtime_error("cannot read the program's own path");
        if (n < path.size()) {
            path.resize(n);
            return ExePathFromModulePath(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace velvane::mMain
