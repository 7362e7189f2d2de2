#pragma once
// The GDI+ flat interface with owners for its objects.

#include "common/Scoped.h"

#include <objidl.h>  // PROPID and IStream, which lean Windows headers leave out

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// Some toolchains' GDI+ headers use the min/max macros that NOMINMAX turns off.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace velvane {

namespace gdip = Gdiplus::DllExports;

struct ImageDeleter {
    void operator()(Gdiplus::GpImage* image) const { gdip::GdipDisposeImage(image); }
};
struct GraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const { gdip::GdipDeleteGraphics(graphics); }
};
using GdipImage = std::unique_ptr<Gdiplus::GpImage, ImageDeleter>;
using GdipBitmap = std::unique_ptr<Gdiplus::GpBitmap, ImageDeleter>;
using GdipGraphics = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;

// One use of GDI+: started on construction, shut down by reset() or the destructor.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        input.GdiplusVersion = 1;
        input.DebugEventCallback = nullptr;
        input.SuppressBackgroundThread = FALSE;
        input.SuppressExternalCodecs = FALSE;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() { reset(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool started() const { return started_; }
    void reset() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
        started_ = false;
    }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// GDI+'s built-in PNG encoder.
constexpr CLSID PngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Straight (not premultiplied) BGRA rows, top-down, as a GDI+ bitmap that reads them
// where they are: they must outlive it.
inline GdipBitmap BitmapOfRows(const std::uint8_t* bgra, std::int32_t width, std::int32_t height, bool alpha) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, 4 * width, alpha ? PixelFormat32bppARGB : PixelFormat32bppRGB,
                                    const_cast<BYTE*>(bgra), &bitmap);
    return GdipBitmap(bitmap);
}

inline bool SavePngFile(Gdiplus::GpBitmap* bitmap, const std::wstring& path) {
    return bitmap && gdip::GdipSaveImageToFile(bitmap, path.c_str(), &PngEncoder, nullptr) == Gdiplus::Ok;
}

// Loads an image file; empty when GDI+ cannot read it.
inline GdipImage LoadImageFile(const std::wstring& path) {
    Gdiplus::GpImage* image = nullptr;
    if (gdip::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok) return nullptr;
    return GdipImage(image);
}

// Loads image bytes held in memory: GDI+ keeps reading an image it holds (an animation's
// frames), and one loaded from a file would keep that file open and locked all along.
GdipImage LoadImageBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace velvane
