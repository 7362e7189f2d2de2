#include "system/Clipboard.h"

#include <objidl.h>

#include <algorithm>
#include <cstring>

#include "core/DibLayout.h"
#include "system/DroppedFiles.h"
#include "system/GdiPlus.h"
#include "system/ProgramFile.h"
#include "system/TempFiles.h"

namespace velvane::Clipboard {
namespace {

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

UINT PngFormat() { return RegisterClipboardFormatW(L"PNG"); }

ScopedGlobal SaveMemory(Gdiplus::GpBitmap* bitmap) {
    IStream* stream = nullptr;
    HGLOBAL memory = nullptr;
    if (!bitmap || FAILED(CreateStreamOnHGlobal(nullptr, FALSE, &stream))) return {};
    const bool saved = gdip::GdipSaveImageToStream(bitmap, stream, &PngEncoder, nullptr) == Gdiplus::Ok;
    GetHGlobalFromStream(stream, &memory);
    stream->Release();
    ScopedGlobal png(memory);
    return saved ? std::move(png) : ScopedGlobal();
}

// A DIB as a PNG file, once its layout has been vouched for. 32-bit pixels keep their
// alpha unless it is zero throughout, as from programs that leave it unset; other depths
// go through GDI+.
bool WriteDibAsPng(const BYTE* dib, SIZE_T bytes, const std::wstring& path) try {
    const std::optional<DibLayout> layout = ReadDibLayout(dib, bytes);
    if (!layout) return false;
    if (layout->plainBgra) {
        const std::size_t rowBytes = 4 * static_cast<std::size_t>(layout->width);
        std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(layout->height));
        for (std::int32_t y = 0; y < layout->height; ++y) std::memcpy(&rows[rowBytes * y], dib + layout->RowOffset(y), rowBytes);
        bool alpha = false;
        for (std::size_t i = 3; i < rows.size() && !alpha; i += 4) alpha = rows[i] != 0;
        return SavePngFile(BitmapOfRows(rows.data(), layout->width, layout->height, alpha).get(), path);
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromGdiDib(reinterpret_cast<const BITMAPINFO*>(dib), const_cast<BYTE*>(dib + layout->pixelOffset), &bitmap);
    return SavePngFile(GdipBitmap(bitmap).get(), path);
} catch (const std::bad_alloc&) {
    return false;
}

// The clipboard data of a format as bytes the image file gets, through the writer.
template <class Write>
bool WriteFromClipboard(UINT format, const std::wstring& path, Write write) {
    HANDLE data = GetClipboardData(format);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (!bytes) return false;
    const bool written = write(static_cast<const BYTE*>(bytes), GlobalSize(data), path);
    GlobalUnlock(data);
    return written;
}

bool WriteBytes(const BYTE* bytes, SIZE_T size, const std::wstring& path) {
    const std::vector<std::uint8_t> png(bytes, bytes + size);
    return WriteWholeFile(path, {&png}, true);
}

}  // namespace

bool CopyImage(HWND owner, std::vector<std::uint8_t> pixels, std::int32_t width, std::int32_t height) {
    const GdiplusSession session;
    if (pixels.empty()) return false;
    for (std::size_t i = 0; i < pixels.size(); i += 4)  // back to straight alpha, as both formats carry it
        for (int c = 0; c < 3 && pixels[i + 3]; ++c)
            pixels[i + c] = static_cast<std::uint8_t>(std::min(255, (pixels[i + c] * 255 + pixels[i + 3] / 2) / pixels[i + 3]));
    ScopedGlobal png = SaveMemory(BitmapOfRows(pixels.data(), width, height, true).get());
    const SIZE_T rowBytes = 4 * static_cast<SIZE_T>(width);
    ScopedGlobal dib(GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPV5HEADER) + rowBytes * height));
    auto* header = dib ? static_cast<BITMAPV5HEADER*>(GlobalLock(dib.get())) : nullptr;
    if (!png || !header) return false;
    *header = {};
    header->bV5Size = sizeof(BITMAPV5HEADER);
    header->bV5Width = width;
    header->bV5Height = height;  // bottom-up, as most readers expect
    header->bV5Planes = 1;
    header->bV5BitCount = 32;
    header->bV5Compression = BI_BITFIELDS;
    header->bV5SizeImage = static_cast<DWORD>(rowBytes * height);
    header->bV5RedMask = 0xFF0000;
    header->bV5GreenMask = 0xFF00;
    header->bV5BlueMask = 0xFF;
    header->bV5AlphaMask = 0xFF000000;
    header->bV5CSType = 0x73524742;  // LCS_sRGB, spelled out: headers disagree on its form
    header->bV5Intent = LCS_GM_IMAGES;
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(reinterpret_cast<BYTE*>(header + 1) + rowBytes * y, &pixels[rowBytes * (height - 1 - y)], rowBytes);
    GlobalUnlock(dib.get());
    const OpenedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(PngFormat(), png.get())) return false;
    png.release();  // the clipboard owns what it took
    if (SetClipboardData(CF_DIBV5, dib.get())) dib.release();
    return true;
}

Pasted TakeImage(HWND owner) {
    const GdiplusSession session;
    Pasted pasted;
    UINT format = 0;
    std::vector<std::wstring> unwritten;
    {
        const OpenedClipboard clipboard(owner);
        // The formats come in the order the source program placed them, those the system made
        // from them last: the first one we can read is the image as the program gave it.
        const UINT png[] = {PngFormat(), RegisterClipboardFormatW(L"image/png")};
        while (clipboard && (format = EnumClipboardFormats(format)) != 0 && format != CF_HDROP) {
            const bool isPng = format == png[0] || format == png[1], isDib = format == CF_DIBV5 || format == CF_DIB;
            const std::optional<std::wstring> file = isPng || isDib ? mMain::MakeTempFileName() : std::nullopt;
            if (file && WriteFromClipboard(format, *file, isPng ? WriteBytes : WriteDibAsPng)) {
                pasted.ownFile = *file;
                break;
            }
            if (file) unwritten.push_back(*file);
        }
    }
    // Deleted once the clipboard is no longer ours.
    for (const std::wstring& file : unwritten) mMain::DeleteFileForced(file);
    IDataObject* files = nullptr;  // copied files come as a drop would, once the clipboard is closed again
    if (pasted.ownFile.empty() && format == CF_HDROP && SUCCEEDED(OleGetClipboard(&files))) {
        pasted.copiedFiles = DroppedPaths(files);
        files->Release();
    }
    return pasted;
}

}  // namespace velvane::Clipboard
