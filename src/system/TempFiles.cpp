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
    std::uniform_int_distribution<std::uint32_t> draw(0, TempNameLimit - 1);
    for (int attempt = 0; attempt < 4096; ++attempt) {
        std::wstring candidate = folder + TempFileLeafName(ThisCopy(), draw(NameGenerator()));
        ScopedFile file(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            OwnTempFiles().insert(candidate);
            return candidate;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
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
}

void RemoveTempFilesOfEndedCopies() {
    const std::wstring folder = GetTempFolder();
    WIN32_FIND_DATAW found{};
    const ScopedFind search(folder.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW((folder + L"~*.tmp").c_str(), &found));
    if (!search) return;
    do {
        const auto owner = TempFileOwnerOf(found.cFileName);
        if (owner && !StillRuns(*owner)) DeleteFileW((folder + found.cFileName).c_str());
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
