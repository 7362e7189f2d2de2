#include "system/DragOut.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

#include "common/ComObject.h"
#include "common/ComPtr.h"
#include "system/DroppedFiles.h"
#include "system/GdiPlus.h"
#include "system/ImageData.h"
#include "system/ProgramFile.h"
#include "system/TempFiles.h"

namespace velvane {
namespace {

struct Offered {
    FORMATETC format;
    std::vector<std::uint8_t> bytes;  // copied into a fresh block for every request: the taker frees it
};

FORMATETC GlobalFormat(UINT format) { return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

class DraggedData final : public ComObject<IDataObject, IID_IDataObject> {
public:
    explicit DraggedData(std::vector<Offered> offered) : offered_(std::move(offered)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        *medium = STGMEDIUM{};
        const Offered* offer = nullptr;
        if (const HRESULT matched = Match(*format, offer); FAILED(matched)) return matched;
        ScopedGlobal block(GlobalAlloc(GMEM_MOVEABLE, std::max<SIZE_T>(offer->bytes.size(), 1)));
        void* at = block ? GlobalLock(block.get()) : nullptr;
        if (!at) return E_OUTOFMEMORY;
        std::memcpy(at, offer->bytes.data(), offer->bytes.size());
        GlobalUnlock(block.get());
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block.release();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        const Offered* offer = nullptr;
        return Match(*format, offer);
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) override {
        if (canonical) canonical->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (!formats) return E_INVALIDARG;
        *formats = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> list;
        for (const Offered& offer : offered_) list.push_back(offer.format);
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~DraggedData() = default;

    HRESULT Match(const FORMATETC& asked, const Offered*& found) const {
        for (const Offered& offer : offered_) {
            if (offer.format.cfFormat != asked.cfFormat) continue;
            if (asked.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
            if (asked.lindex != -1) return DV_E_LINDEX;
            if (!(asked.tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
            found = &offer;
            return S_OK;
        }
        return DV_E_FORMATETC;
    }

    const std::vector<Offered> offered_;
};

class DragSource final : public ComObject<IDropSource, IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ~DragSource() = default;
};

bool EndsWithTmp(const std::wstring& leaf) {
    return leaf.size() >= 4 && CompareStringOrdinal(leaf.c_str() + leaf.size() - 4, 4, L".tmp", 4, TRUE) == CSTR_EQUAL;
}

// The name a person gave the pin's picture, fitted to the folder's path; "Pin" when it has
// none of its own (our temporary files are only numbers).
std::wstring FileStem(const std::wstring& fileName, std::size_t room) {
    const std::size_t slash = fileName.find_last_of(L"\\/");
    std::wstring stem = slash == std::wstring::npos ? fileName : fileName.substr(slash + 1);
    if (!stem.empty() && stem.front() == L'~' && EndsWithTmp(stem)) stem.clear();
    if (const std::size_t dot = stem.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) stem.erase(dot);
    // What a stream name or a stray path brings: no file name may hold it.
    for (wchar_t& c : stem)
        if (c < 32 || std::wcschr(L"<>:\"/\\|?*", c)) c = L'_';
    if (stem.size() > room) stem.resize(room);
    if (!stem.empty() && stem.back() >= 0xD800 && stem.back() <= 0xDBFF) stem.pop_back();  // half a character
    // Windows drops them from a name, and the path would name another file.
    while (!stem.empty() && (stem.back() == L'.' || stem.back() == L' ')) stem.pop_back();
    return stem.empty() ? L"Pin" : stem;
}

// The file's list as Explorer's own drags give it: one wide path, the list ended by a second nul.
std::vector<std::uint8_t> FileList(const std::wstring& path) {
    DROPFILES head{};
    head.pFiles = sizeof head;
    head.fWide = TRUE;
    std::vector<std::uint8_t> bytes(sizeof head + (path.size() + 2) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), &head, sizeof head);
    std::memcpy(bytes.data() + sizeof head, path.c_str(), path.size() * sizeof(wchar_t));
    return bytes;
}

// A bottom-up 32-bit DIB with straight alpha, which readers of plain bitmaps take; empty when
// the picture is too large for one.
std::vector<std::uint8_t> StraightDib(const ConstPixels& picture) {
    const std::uint64_t rowBytes = 4 * static_cast<std::uint64_t>(picture.width);
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(picture.height);
    if (pixelBytes > std::numeric_limits<DWORD>::max() - sizeof(BITMAPINFOHEADER) ||
        pixelBytes > std::numeric_limits<std::size_t>::max() / 2)
        return {};
    std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(pixelBytes));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    std::memcpy(dib.data(), &header, sizeof header);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* from = picture.rows + picture.stride * y;
        std::uint8_t* to = dib.data() + sizeof header + static_cast<std::size_t>(rowBytes) * (picture.height - 1 - y);
        for (std::int32_t x = 0; x < picture.width; ++x, from += 4, to += 4) {
            const int alpha = from[3];
            for (int c = 0; c < 3; ++c)
                to[c] = alpha ? static_cast<std::uint8_t>(std::min(255, (from[c] * 255 + alpha / 2) / alpha)) : from[c];
            to[3] = from[3];
        }
    }
    return dib;
}

// The DIB's pixels as a PNG, in memory; empty when GDI+ cannot encode them.
std::vector<std::uint8_t> PngOfDib(const std::vector<std::uint8_t>& dib, std::int32_t width, std::int32_t height) {
    const GdiplusSession session;
    if (!session.started()) return {};
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    if (rowBytes > static_cast<std::size_t>(std::numeric_limits<INT>::max())) return {};
    // Read from the last row up, so the bitmap stands the right way.
    Gdiplus::GpBitmap* made = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, -static_cast<INT>(rowBytes), PixelFormat32bppARGB,
                                    const_cast<BYTE*>(dib.data() + sizeof(BITMAPINFOHEADER) + rowBytes * (height - 1)), &made);
    const GdipBitmap bitmap(made);
    ComPtr<IStream> stream;
    STATSTG written{};
    if (!bitmap || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream.p)) ||
        gdip::GdipSaveImageToStream(bitmap.get(), stream.p, &PngEncoder, nullptr) != Gdiplus::Ok ||
        FAILED(stream->Stat(&written, STATFLAG_NONAME)) || written.cbSize.QuadPart > std::numeric_limits<ULONG>::max())
        return {};
    std::vector<std::uint8_t> png(static_cast<std::size_t>(written.cbSize.QuadPart));
    ULONG got = 0;
    const LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(png.data(), static_cast<ULONG>(png.size()), &got)) || got != png.size())
        return {};
    return png;
}

// The PNG under the pin's name, in a folder of its own: the name is the user's, and another
// drag's file of that name may still be read. Empty when it cannot be written.
std::wstring WriteNamedPng(const std::vector<std::uint8_t>& png, const std::wstring& fileName) {
    const std::optional<std::wstring> folder = mMain::MakeTempFolder();
    if (!folder) return L"";
    // Many a drop target still reads paths no longer than MAX_PATH.
    const std::size_t used = folder->size() + 1 + 4;
    const std::wstring path = *folder + L"\\" + FileStem(fileName, used < MAX_PATH - 4 ? MAX_PATH - 1 - used : 3) + L".png";
    return WriteWholeFile(path, {&png}) ? path : L"";
}

bool LeftButtonDown() {
    // The physical button that acts as the left one.
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000;
}

}  // namespace

void DragOutImage(const ConstPixels& picture, const std::wstring& fileName) {
    if (!picture.rows || picture.width <= 0 || picture.height <= 0) return;
    // Called from a window's messages: nothing may be thrown back through them.
    try {
        std::vector<std::uint8_t> dib = StraightDib(picture);
        if (dib.empty()) return;
        std::vector<std::uint8_t> png = PngOfDib(dib, picture.width, picture.height);
        if (png.empty()) return;
        const std::wstring path = WriteNamedPng(png, fileName);
        const DWORD process = GetCurrentProcessId();
        std::vector<Offered> offered;
        offered.push_back({DraggedPinFormat(), std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&process),
                                                                         reinterpret_cast<const std::uint8_t*>(&process + 1))});
        // Without its file the picture still goes, as image data alone.
        if (!path.empty()) offered.push_back({FileListFormat(), FileList(path)});
        offered.push_back({GlobalFormat(PngFormat()), std::move(png)});
        offered.push_back({GlobalFormat(CF_DIB), std::move(dib)});
        // Nothing took the file (no drop, or a cancelled one): it goes at once rather than at the copy's end.
        const auto unused = [&path] {
            if (path.empty()) return;
            DeleteFileW(path.c_str());
            RemoveDirectoryW(path.substr(0, path.rfind(L'\\')).c_str());
        };
        // Released while encoding, the button would drop at once, most likely onto this very pin.
        if (!LeftButtonDown()) return unused();
        ComPtr<IDataObject> data;
        data.p = new DraggedData(std::move(offered));
        ComPtr<IDropSource> source;
        source.p = new DragSource;
        DWORD effect = DROPEFFECT_NONE;
        if (DoDragDrop(data.p, source.p, DROPEFFECT_COPY, &effect) != DRAGDROP_S_DROP || effect == DROPEFFECT_NONE) unused();
    } catch (const std::exception&) {
    }
}

}  // namespace velvane
