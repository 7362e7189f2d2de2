#include "image/KeptPicture.h"

#include <utility>

#include "system/TopDownBitmap.h"

namespace velvane {

bool KeptPicture::Stamp(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& stamp) {
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &stamp) != FALSE;
}

bool KeptPicture::Holds(const std::wstring& path) const {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    return picture_ && path == path_ && Stamp(path, now) && CompareFileTime(&now.ftLastWriteTime, &stamp_.ftLastWriteTime) == 0 &&
           now.nFileSizeLow == stamp_.nFileSizeLow && now.nFileSizeHigh == stamp_.nFileSizeHigh;
}

void KeptPicture::Forget() {
    picture_ = nullptr;
    std::vector<std::uint8_t>().swap(pixels_);  // its memory given back (assigning {} would keep it)
    pictureBitmap_.reset();
    pictureInSurface_ = false;
    path_.clear();
    width_ = height_ = 0;
}

// The picture kept before goes; the new one is named when its file can be stamped.
bool KeptPicture::Stamped(const std::wstring& path, std::int32_t width, std::int32_t height) {
    Forget();
    if (!Stamp(path, stamp_)) return false;
    path_ = path;
    width_ = width;
    height_ = height;
    return true;
}

void KeptPicture::Keep(const std::wstring& path, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels) {
    if (!Stamped(path, width, height)) return;
    pixels_ = std::move(pixels);
    picture_ = pixels_.data();
    pictureStride_ = 4 * static_cast<std::ptrdiff_t>(width);
}

void KeptPicture::KeepDrawn(const std::wstring& path, const Pixels& drawn) {
    // Only a surface of exactly the picture's size: a larger one stays free for the next drawing.
    if (!surface_ || drawn.rows != surfaceBits_ || drawn.width != surfaceWidth_ || drawn.height != surfaceHeight_) return;
    if (!Stamped(path, drawn.width, drawn.height)) return;
    picture_ = drawn.rows;
    pictureStride_ = drawn.stride;
    pictureInSurface_ = true;
}

HBITMAP KeptPicture::Surface(std::int32_t width, std::int32_t height, void*& bits, std::ptrdiff_t& stride) {
    if (pictureInSurface_) {
        pictureBitmap_ = std::move(surface_);  // the picture stays where it is; the drawing gets a bitmap of its own
        pictureInSurface_ = false;
    }
    if (!surface_ || width > surfaceWidth_ || height > surfaceHeight_) {
        surface_.reset();  // the smaller one goes before the larger is made
        surface_ = TopDownBitmap(width, height, surfaceBits_);
        surfaceWidth_ = surface_ ? width : 0;
        surfaceHeight_ = surface_ ? height : 0;
    }
    bits = surfaceBits_;
    stride = 4 * static_cast<std::ptrdiff_t>(surfaceWidth_);
    return surface_.get();
}

void KeptPicture::ReleaseSurface() {
    if (pictureInSurface_) pictureBitmap_ = std::move(surface_);
    pictureInSurface_ = false;
    surface_.reset();
    surfaceWidth_ = surfaceHeight_ = 0;
}

void KeptPicture::Release() {
    Forget();
    surface_.reset();
    surfaceWidth_ = surfaceHeight_ = 0;
}

}  // namespace velvane
