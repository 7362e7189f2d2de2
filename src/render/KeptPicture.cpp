#include "render/KeptPicture.h"

#include <utility>

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
    Release();
    if (!Stamp(path, stamp_)) return;
    path_ = path;
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

void KeptPicture::Release() {
    pixels_ = {};
    path_.clear();
    width_ = height_ = 0;
}

}  // namespace velvane
