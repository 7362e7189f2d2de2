#include "package/ProgramFile.h"

#include "common/Scoped.h"

#include <algorithm>

namespace velvane {

std::optional<std::vector<std::uint8_t>> ReadFileFrom(const std::wstring& path, std::uint64_t offset) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
    const auto total = static_cast<std::uint64_t>(size.QuadPart);
    if (offset > total || total - offset > 0x7fffffffu) return std::nullopt;
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(total - offset));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) return std::nullopt;
        done += read;
    }
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<const std::vector<std::uint8_t>*>& parts,
                    bool replace) {
    bool written = false;
    {
        ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, replace ? TRUNCATE_EXISTING : CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        written = true;
        for (const auto* part : parts) {
            std::size_t done = 0;
            while (written && done < part->size()) {
                DWORD wrote = 0;
                const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(part->size() - done, 1u << 24));
                written = WriteFile(file.get(), part->data() + done, chunk, &wrote, nullptr) && wrote == chunk;
                done += wrote;
            }
        }
        written = written && FlushFileBuffers(file.get());
    }
    // Nothing half-written stays behind.
    if (!written) DeleteFileW(path.c_str());
    return written;
}

}  // namespace velvane
