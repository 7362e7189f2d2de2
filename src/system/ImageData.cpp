#include "system/ImageData.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/DibLayout.h"
#include "core/ImageLimits.h"
#include "system/DataMedium.h"
#include "system/GdiPlus.h"
#include "system/ProgramFile.h"

namespace velvane {
namespace {

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

bool WriteBytes(const BYTE* bytes, SIZE_T size, const std::wstring& path) try {
    if (static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(kMaxImageFileBytes)) return false;
    const std::vector<std::uint8_t> png(bytes, bytes + size);
    return WriteWholeFile(path, {&png}, true);
} catch (const std::bad_alloc&) {
    return false;
}

}  // namespace

UINT PngFormat() { return RegisterClipboardFormatW(L"PNG"); }

std::vector<UINT> ImageDataFormats() { return {PngFormat(), RegisterClipboardFormatW(L"image/png"), CF_DIBV5, CF_DIB}; }

bool WriteImageData(UINT format, HGLOBAL data, const std::wstring& path) {
    const std::vector<UINT> formats = ImageDataFormats();
    const LockedGlobal bytes(std::count(formats.begin(), formats.end(), format) ? data : nullptr);
    if (!bytes.Bytes()) return false;
    if (format != CF_DIBV5 && format != CF_DIB) return WriteBytes(bytes.Bytes(), bytes.Size(), path);
    const GdiplusSession session;
    return WriteDibAsPng(bytes.Bytes(), bytes.Size(), path);
}

}  // namespace velvane
