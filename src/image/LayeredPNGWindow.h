#pragma once
// Draws one image file into one window as a per-pixel-alpha layered window.
// A renderer serves one job: PNGFileSize (optional), MakeTrans once, UnloadPNGForm.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Marks.h"
#include "core/Orientation.h"
#include "image/ImageSource.h"
#include "image/KeptPicture.h"
#include "system/GdiPlus.h"

namespace velvane {

// The window a picture is pushed to, and what the window does around the pushes.
struct PushTarget {
    HWND window = nullptr;
    Orientation turn;
    const PinMarks* marks = nullptr;                 // drawn over the picture, which they may crop
    const std::wstring* card = nullptr;              // a card's text, drawn in place of its picture file
    std::function<void()> beforeFade;                // it enters the top-most band, shown
    std::function<void(std::uint8_t alpha)> pushed;  // the last push is done, at the constant alpha
};

// The image (its selected frame) drawn into the bitmap, filling it: decoded straight into
// it at the image's own size, else decoded once and scaled by our own resampler; then
// turned. The decoder's copy is given up once read, or handed to keep when one is given
// (decoded into keep's surface, it stays there as the picture); a keep that holds the
// picture already is scaled instead (image may then be null).
bool RenderImage(ImageSource* image, const Pixels& bitmap, Orientation turn = {}, KeptPicture* keep = nullptr,
                 const std::wstring& path = {});
inline bool RenderImage(ImageSource& image, const Pixels& bitmap, Orientation turn = {}) { return RenderImage(&image, bitmap, turn); }

class LayeredPNGWindow {
public:
    // Starts GDI+; tells the user when it cannot.
    LayeredPNGWindow();
    ~LayeredPNGWindow() { UnloadPNGForm(); }
    LayeredPNGWindow(const LayeredPNGWindow&) = delete;
    LayeredPNGWindow& operator=(const LayeredPNGWindow&) = delete;

    // The image's pixel size; false (outputs untouched) when it cannot be loaded. A picture
    // kept of the file answers without reading it.
    bool PNGFileSize(const std::wstring& pngPath, std::int32_t& fWidth, std::int32_t& fHeight, const KeptPicture* kept = nullptr);

    // Sizes the window to the scaled image, turned as its menu says, and shows it at the constant alpha, fading
    // in first when asked. False, with the window as it was, when the picture cannot be
    // drawn (unreadable file, a size too large for memory).
    // At topLeft, when given, the window moves there with the same push.
    // With keep, the decoded picture is taken from it when it holds the file, and left in it.
    bool MakeTrans(const std::wstring& pngPath, const PushTarget& FormIn, std::uint8_t ConstantAlpha, float ChangeSize,
                   bool LoadEffect, const POINT* topLeft = nullptr, KeptPicture* keep = nullptr);

    // The image at a size factor, turned and marked, as premultiplied BGRA, top-down rows;
    // empty when it cannot be read or drawn.
    // A card (card not empty) is drawn from its text at that size.
    std::vector<std::uint8_t> RenderedPixels(const std::wstring& pngPath, float factor, Orientation turn, const PinMarks& marks,
                                             std::int32_t& width, std::int32_t& height, const std::wstring& card = {});

    // Releases the bitmap and DC and shuts GDI+ down for this renderer.
    void UnloadPNGForm();

private:
    bool Push(HWND window, std::int32_t width, std::int32_t height, const POINT* topLeft);

    ScopedMemoryDC MemDC;
    ScopedBitmap DIBBitmap;
    BLENDFUNCTION BlendFunc{};
    GdiplusSession GdipToken;
    ScopedSelection OldBitmap;

    // The image PNGFileSize measured (a PNG's header, or what GDI+ loaded), kept for
    // MakeTrans of the same job so that a large file is read once.
    std::unique_ptr<ImageSource> measured_;
    std::wstring measuredPath_;
    std::chrono::steady_clock::time_point pushedAt_;
};

}  // namespace velvane
