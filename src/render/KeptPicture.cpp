#include "render/KeptPicture.h"

#include <utility>

#include "render/TopDownBitmap.h"

namespace velvane {

bool KeptPicture::Stamp(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& stamp) {
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &stamp) != FALSE;
}

bool KeptPicture::Holds(const std::wstring& path) const {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    return !pixels_.empty() && path == path_ && Stamp(path, now) && CompareFileTime(&now.ftLastWriteTime, &stamp_.ftLastWriteTime) == 0 &&
           now.nFileSizeLow == stamp_.nFileSizeLow && now.nFileSizeHigh == stamp_.nFileSizeHigh;
}

void KeptPicture::Keep(const std::wstring& path, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels) {
    pixels_ = {};
    path_.clear();
    if (!Stamp(path, stamp_)) return;
    path_ = path;
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

HBITMAP KeptPicture::Surface(std::int32_t width, std::int32_t height, void*& bits, std::ptrdiff_t& stride) {
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

void KeptPicture::Release() {
    pixels_ = {};
    path_.clear();
    width_ = height_ = 0;
    surface_.reset();
    surfaceWidth_ = surfaceHeight_ = 0;
}

}  // namespace velvane
