#pragma once
// What a window keeps a moment after each drawing, so that the wheel's next notch, or the
// next Size or opacity, neither reads and decodes the file again (its picture as last
// decoded, at its own size) nor draws into fresh memory (the bitmap drawn into last, used
// again for any drawing it can hold: touching new pages is a large part of a drawing).

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
    // A top-down 32-bit bitmap to draw a width x height picture into its top left corner (rows
    // stride bytes apart); null when none can be had.
    HBITMAP Surface(std::int32_t width, std::int32_t height, void*& bits, std::ptrdiff_t& stride);
    // Both go; never while a drawing uses the surface.
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
    ScopedBitmap surface_;
    std::int32_t surfaceWidth_ = 0, surfaceHeight_ = 0;
    void* surfaceBits_ = nullptr;
};

}  // namespace velvane
