#pragma once
// What a window keeps after each drawing, so that the wheel's next notch, or the next Size
// or opacity, neither reads and decodes the file again (its picture as last decoded, at its
// own size) nor draws into fresh memory (the bitmap drawn into last, used again for any
// drawing it can hold: touching new pages is a large part of a drawing).

#include "common/Scoped.h"

#include <cstdint>
#include <string>
#include <vector>

#include "core/Resample.h"

namespace velvane {

class KeptPicture {
public:
    // Whether it holds this file's picture, the file unchanged since (same time and length).
    bool Holds(const std::wstring& path) const;
    // Whether it holds the picture last decoded from this file, however the file changed since.
    bool HeldFrom(const std::wstring& path) const { return picture_ && path == path_; }
    void Keep(const std::wstring& path, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels);
    // The file's picture was just decoded into drawn: when that is the whole surface, the
    // surface stands as the picture, so a picture shown at its own size is not decoded again.
    void KeepDrawn(const std::wstring& path, const Pixels& drawn);
    // A top-down 32-bit bitmap to draw a width x height picture into its top left corner (rows
    // stride bytes apart); null when none can be had. Never the bitmap the picture is in.
    HBITMAP Surface(std::int32_t width, std::int32_t height, void*& bits, std::ptrdiff_t& stride);
    // The surface goes (the picture stays, though it was in it); never while a drawing uses it.
    void ReleaseSurface();
    // All goes; never while a drawing uses the surface.
    void Release();

    // Pictures larger than this are kept only as long as the bitmap drawn from them.
    static constexpr std::uint64_t kLongKeptBytes = std::uint64_t{64} << 20;
    bool KeptLong() const { return 4 * static_cast<std::uint64_t>(width_) * static_cast<std::uint64_t>(height_) <= kLongKeptBytes; }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    ConstPixels Picture() const { return {picture_, width_, height_, pictureStride_}; }

private:
    static bool Stamp(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& stamp);
    void Forget();
    bool Stamped(const std::wstring& path, std::int32_t width, std::int32_t height);

    std::wstring path_;
    WIN32_FILE_ATTRIBUTE_DATA stamp_{};
    std::int32_t width_ = 0, height_ = 0;
    // Premultiplied BGRA, top-down rows: in pixels_, in the surface, or in a surface of before.
    const std::uint8_t* picture_ = nullptr;
    std::ptrdiff_t pictureStride_ = 0;
    std::vector<std::uint8_t> pixels_;
    ScopedBitmap pictureBitmap_;
    bool pictureInSurface_ = false;
    ScopedBitmap surface_;
    std::int32_t surfaceWidth_ = 0, surfaceHeight_ = 0;
    void* surfaceBits_ = nullptr;
};

}  // namespace velvane
