#include "system/Clipboard.h"

#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "system/DroppedFiles.h"
#include "system/GdiPlus.h"
#include "system/ImageData.h"
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

// Text in clipboard memory, up to its first NUL or the memory's end, whichever comes first.
class LockedText {
public:
    explicit LockedText(HANDLE memory) : memory_(memory), text_(memory ? static_cast<const wchar_t*>(GlobalLock(memory)) : nullptr) {}
    ~LockedText() {
        if (text_) GlobalUnlock(memory_);
    }
    LockedText(const LockedText&) = delete;
    LockedText& operator=(const LockedText&) = delete;

    std::wstring Text(std::size_t most) const {
        if (!text_) return {};
        const std::size_t units = std::min<std::size_t>(GlobalSize(memory_) / sizeof(wchar_t), most);
        return std::wstring(text_, std::find(text_, text_ + units, L'\0'));
    }

private:
    HANDLE memory_;
    const wchar_t* text_;
};

// More than a card shows of it in any case.
constexpr std::size_t kMaxTextUnits = 1 << 20;

}  // namespace

bool CopyImage(HWND owner, std::vector<std::uint8_t> pixels, std::int32_t width, std::int32_t height, const std::vector<std::wstring>& files,
               const std::wstring& text) {
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
    if (!text.empty()) {
        ScopedGlobal unicode(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
        if (auto* into = unicode ? static_cast<wchar_t*>(GlobalLock(unicode.get())) : nullptr) {
            std::copy(text.c_str(), text.c_str() + text.size() + 1, into);
            GlobalUnlock(unicode.get());
            if (SetClipboardData(CF_UNICODETEXT, unicode.get())) unicode.release();
        }
    }
    if (files.empty()) return true;
    // The files as Explorer copies them: wide paths, each ended, the list ended once more.
    std::size_t units = 1;
    for (const std::wstring& file : files) units += file.size() + 1;
    ScopedGlobal list(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t)));
    auto* drop = list ? static_cast<DROPFILES*>(GlobalLock(list.get())) : nullptr;
    if (!drop) return true;
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* at = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& file : files) at = std::copy(file.begin(), file.end(), at) + 1;
    GlobalUnlock(list.get());
    if (SetClipboardData(CF_HDROP, list.get())) list.release();
    return true;
}

Pasted TakeImage(HWND owner) {
    Pasted pasted;
    UINT format = 0;
    std::vector<std::wstring> unwritten;
    {
        const OpenedClipboard clipboard(owner);
        // The formats come in the order the source program placed them, those the system made
        // from them last: the first one we can read is the image as the program gave it.
        const std::vector<UINT> imageData = ImageDataFormats();
        while (clipboard && (format = EnumClipboardFormats(format)) != 0 && format != CF_HDROP) {
            const bool readable = std::count(imageData.begin(), imageData.end(), format) != 0;
            const std::optional<std::wstring> file = readable ? mMain::MakeTempFileName() : std::nullopt;
            if (file && WriteImageData(format, GetClipboardData(format), *file)) {
                pasted.ownFile = *file;
                break;
            }
            if (file) unwritten.push_back(*file);
        }
        // Text only when there is neither an image nor copied files: a file is never pinned as its path.
        // Programs that copy rich text or HTML give its plain text too.
        const LockedText text(clipboard && pasted.ownFile.empty() && !IsClipboardFormatAvailable(CF_HDROP) ? GetClipboardData(CF_UNICODETEXT) : nullptr);
        pasted.text = text.Text(kMaxTextUnits);
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
