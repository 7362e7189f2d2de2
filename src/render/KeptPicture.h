#pragma once
// A window's picture as last decoded at its own size, kept a moment after each drawing so
// that the wheel's next notch, or the next Size or opacity, scales it again without reading
// and decoding the file again.

#include "common/Scoped.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velvane {

class KeptPicture {
public:
    // Whether it holds this file's picture, the file unchanged since (same time and length).
    bool Holds(const std::wstring& path) const;
    void Keep(const std::wstring& path, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels);
    void Release();

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    const std::uint8_t* Pixels() const { return pixels_.data(); }

private:
    static bool Stamp(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& stamp);

    std::wstring path_;
    WIN32_FILE_ATTRIBUTE_DATA stamp_{};
    std::int32_t width_ = 0, height_ = 0;
    std::vector<std::uint8_t> pixels_;  // premultiplied BGRA, top-down rows
};

}  // namespace velvane
