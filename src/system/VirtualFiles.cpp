#include "system/VirtualFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/ImageLimits.h"
#include "system/DataMedium.h"
#include "system/TempFiles.h"

namespace velvane {
namespace {

constexpr auto kLargest = static_cast<std::uint64_t>(kMaxImageFileBytes);

FORMATETC Format(const wchar_t* name, LONG index, DWORD media) {
    return {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)), nullptr, DVASPECT_CONTENT, index, media};
}

struct Described {
    LONG index;
    std::optional<std::uint64_t> size;
};

std::vector<Described> Descriptors(IDataObject* data) {
    std::vector<Described> files;
    const DataMedium medium(data, Format(CFSTR_FILEDESCRIPTORW, -1, TYMED_HGLOBAL));
    const LockedGlobal block(medium.Global());
    const auto* group = reinterpret_cast<const FILEGROUPDESCRIPTORW*>(block.Bytes());
    const std::size_t head = offsetof(FILEGROUPDESCRIPTORW, fgd);
    if (!group || block.Size() < head) return files;
    // No more descriptors than the block holds, whatever its count says.
    const std::size_t room = (block.Size() - head) / sizeof(FILEDESCRIPTORW);
    // A drop of more pictures than anyone pins at once is not worth minutes of copying.
    constexpr std::size_t kMostFiles = 64;
    for (std::size_t i = 0; i < group->cItems && i < room && files.size() < kMostFiles; ++i) {
        const FILEDESCRIPTORW& file = group->fgd[i];
        if ((file.dwFlags & FD_ATTRIBUTES) && (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::optional<std::uint64_t> size;
        if (file.dwFlags & FD_FILESIZE) size = std::uint64_t{file.nFileSizeHigh} << 32 | file.nFileSizeLow;
        files.push_back({static_cast<LONG>(i), size});
    }
    return files;
}

// A chunk at a time: memory holds one chunk however long the stream runs, and the file stops
// at the largest an image can be.
bool CopyStream(IStream* stream, HANDLE file) {
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);  // some sources hand it over read to the end
    std::vector<BYTE> chunk(1 << 16);
    for (std::uint64_t total = 0;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(chunk.data(), static_cast<ULONG>(chunk.size()), &got)) || got > chunk.size()) return false;
        if (got == 0) return true;
        DWORD wrote = 0;
        if ((total += got) > kLargest || !WriteFile(file, chunk.data(), got, &wrote, nullptr) || wrote != got) return false;
    }
}

bool WriteContents(IDataObject* data, const Described& file, const std::wstring& path) {
    const DataMedium medium(data, Format(CFSTR_FILECONTENTS, file.index, TYMED_ISTREAM | TYMED_HGLOBAL));
    ScopedFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    if (IStream* stream = medium.Stream()) return CopyStream(stream, out.get());
    const LockedGlobal block(medium.Global());
    // A block may be longer than its file: the descriptor's size, when it gives one, is the file's.
    const std::uint64_t length = std::min<std::uint64_t>(file.size.value_or(block.Size()), block.Size());
    DWORD wrote = 0;
    return block.Bytes() && length <= kLargest &&
           WriteFile(out.get(), block.Bytes(), static_cast<DWORD>(length), &wrote, nullptr) && wrote == length;
}

}  // namespace

bool OffersVirtualFiles(IDataObject* data) {
    FORMATETC descriptors = Format(CFSTR_FILEDESCRIPTORW, -1, TYMED_HGLOBAL);
    return data && data->QueryGetData(&descriptors) == S_OK;
}

std::vector<std::wstring> TakeVirtualFiles(IDataObject* data) {
    std::vector<std::wstring> written;
    for (const Described& file : Descriptors(data)) {
        if (file.size && *file.size > kLargest) continue;
        const std::optional<std::wstring> path = mMain::MakeTempFileName();
        if (!path) break;
        if (WriteContents(data, file, *path)) written.push_back(*path);
        else mMain::DeleteFileForced(*path);
    }
    return written;
}

}  // namespace velvane
