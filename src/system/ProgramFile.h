#pragma once
// Whole-file reading and writing for program files and images.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velvane {

// The bytes of a file from an offset to its end; empty when it cannot be read or the
// offset lies past the end.
std::optional<std::vector<std::uint8_t>> ReadFileFrom(const std::wstring& path, std::uint64_t offset = 0);

// Writes a file made of these parts: a new one (never overwriting another), or, with
// replace, over one that exists. On any failure the partly written file is removed and
// false returned.
bool WriteWholeFile(const std::wstring& path, const std::vector<const std::vector<std::uint8_t>*>& parts,
                    bool replace = false);

// A file opened for reading at any offset, for packages read piece by piece; empty when it
// cannot be opened. Its size, and a reader for LoadContentsFrom (which it outlives).
class FileSource {
public:
    explicit FileSource(const std::wstring& path);
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    explicit operator bool() const { return handle_ != nullptr; }
    std::uint64_t Size() const { return size_; }
    bool Read(std::uint64_t offset, std::uint8_t* into, std::size_t size) const;
    // Writes length bytes from offset to a file (over one that exists, as WriteWholeFile
    // with replace), a chunk at a time; false, with the file removed, on any failure.
    bool CopyTo(const std::wstring& path, std::uint64_t offset, std::uint64_t length) const;

private:
    void* handle_ = nullptr;
    std::uint64_t size_ = 0;
};

}  // namespace velvane
