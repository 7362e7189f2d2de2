#include "windows/Clipboard.h"

#include <objidl.h>

#include <algorithm>
#include <cstring>

#include "package/ProgramFile.h"
#include "package/TempFiles.h"
#include "render/GdiPlus.h"
#include "render/LayeredPNGWindow.h"
#include "windows/LogoDropTarget.h"

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

// Straight (not premultiplied) BGRA rows, top-down, as a GDI+ bitmap that reads them.
GdipBitmap BitmapOf(const std::uint8_t* bgra, std::int32_t width, std::int32_t height, bool alpha) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, 4 * width, alpha ? PixelFormat32bppARGB : PixelFormat32bppRGB,
                                    const_cast<BYTE*>(bgra), &bitmap);
    return GdipBitmap(bitmap);
}

bool SaveFile(Gdiplus::GpBitmap* bitmap, const std::wstring& path) {
    return bitmap && gdip::GdipSaveImageToFile(bitmap, path.c_str(), &PngEncoder, nullptr) == Gdiplus::Ok;
}

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

// A DIB (any header version) as a PNG file. 32-bit pixels keep their alpha unless it is
// zero throughout, as from programs that leave it unset; other depths go through GDI+.
bool WriteDibAsPng(const BYTE* dib, SIZE_T bytes, const std::wstring& path) {
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    if (bytes < sizeof(BITMAPINFOHEADER) || header->biSize > bytes || header->biWidth <= 0 || header->biHeight == 0 ||
        header->biWidth > 65535 || header->biHeight > 65535 || header->biHeight < -65535)
        return false;
    const std::int32_t width = header->biWidth, height = std::abs(header->biHeight);
    const SIZE_T colours = header->biClrUsed ? header->biClrUsed : header->biBitCount <= 8 ? SIZE_T{1} << header->biBitCount : 0;
    const bool masksAfter = header->biCompression == BI_BITFIELDS && header->biSize == sizeof(BITMAPINFOHEADER);
    const SIZE_T offset = header->biSize + (masksAfter ? 12 : 0) + 4 * colours;
    const SIZE_T stride = ((static_cast<SIZE_T>(width) * header->biBitCount + 31) / 32) * 4;
    if (header->biPlanes != 1 || offset > bytes || stride * height > bytes - offset) return false;
    // The colour masks follow the first 40 bytes, after a plain header as inside a newer one.
    const DWORD* masks = reinterpret_cast<const DWORD*>(dib + sizeof(BITMAPINFOHEADER));
    const bool plainOrder = header->biCompression == BI_RGB ||
                            (header->biCompression == BI_BITFIELDS && (masksAfter || header->biSize >= 52) &&
                             masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF);
    if (header->biBitCount == 32 && plainOrder) {
        std::vector<std::uint8_t> rows(4 * static_cast<std::size_t>(width) * height);
        for (std::int32_t y = 0; y < height; ++y)
            std::memcpy(&rows[4 * static_cast<std::size_t>(width) * y],
                        dib + offset + stride * (header->biHeight > 0 ? height - 1 - y : y), 4 * static_cast<std::size_t>(width));
        bool alpha = false;
        for (std::size_t i = 3; i < rows.size() && !alpha; i += 4) alpha = rows[i] != 0;
        return SaveFile(BitmapOf(rows.data(), width, height, alpha).get(), path);
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromGdiDib(reinterpret_cast<const BITMAPINFO*>(dib), const_cast<BYTE*>(dib + offset), &bitmap);
    return SaveFile(GdipBitmap(bitmap).get(), path);
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

bool CopyImage(HWND owner, const std::wstring& pngPath, float factor) {
    const GdiplusSession session;
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels = LayeredPNGWindow().RenderedPixels(pngPath, factor, width, height);
    if (pixels.empty()) return false;
    for (std::size_t i = 0; i < pixels.size(); i += 4)  // back to straight alpha, as both formats carry it
        for (int c = 0; c < 3 && pixels[i + 3]; ++c)
            pixels[i + c] = static_cast<std::uint8_t>(std::min(255, (pixels[i + c] * 255 + pixels[i + 3] / 2) / pixels[i + 3]));
    ScopedGlobal png = SaveMemory(BitmapOf(pixels.data(), width, height, true).get());
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
    header->bV5RedMask = 0xFF0000, header->bV5GreenMask = 0xFF00, header->bV5BlueMask = 0xFF, header->bV5AlphaMask = 0xFF000000;
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
                return pasted;
            }
            if (file) mMain::DeleteFileForced(*file);
        }
    }
    IDataObject* files = nullptr;  // copied files come as a drop would, once the clipboard is closed again
    if (format == CF_HDROP && SUCCEEDED(OleGetClipboard(&files))) pasted.copiedFiles = DroppedPaths(files), files->Release();
    return pasted;
}

}  // namespace velvane::Clipboard
