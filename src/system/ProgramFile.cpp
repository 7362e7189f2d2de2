#include "system/ProgramFile.h"

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

FileSource::FileSource(const std::wstring& path) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return;
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    handle_ = file.release();
}

FileSource::~FileSource() {
    if (handle_) CloseHandle(handle_);
}

bool FileSource::Read(std::uint64_t offset, std::uint8_t* into, std::size_t size) const {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!handle_ || !SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN)) return false;
    for (DWORD got = 0; size > 0; into += got, size -= got)
        if (!ReadFile(handle_, into, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 24)), &got, nullptr) || got == 0) return false;
    return true;
}

bool FileSource::CopyTo(const std::wstring& path, std::uint64_t offset, std::uint64_t length) const {
    bool written = false;
    {
        ScopedFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(length, 1u << 20)));
        written = bool(out);
        for (std::uint64_t done = 0; written && done < length;) {
            const auto size = static_cast<DWORD>(std::min<std::uint64_t>(length - done, chunk.size()));
            DWORD wrote = 0;
            written = Read(offset + done, chunk.data(), size) && WriteFile(out.get(), chunk.data(), size, &wrote, nullptr) && wrote == size;
            done += size;
        }
    }
    if (!written) DeleteFileW(path.c_str());
    return written;
}

}  // namespace velvane
