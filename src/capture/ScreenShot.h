#pragma once
// The whole virtual screen at one moment, every monitor in physical pixels, pins included.

#include "common/Scoped.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "capture/Selection.h"

namespace velvane::capture {

class ScreenShot {
public:
    // Empty when the screen cannot be read (no memory for a bitmap of its size).
    static std::optional<ScreenShot> Take();

    const PixelRect& Screen() const { return screen_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    // Its pixels, top-down rows of the screen's width.
    const std::uint32_t* Bits() const { return reinterpret_cast<const std::uint32_t*>(bits_); }
    // The part within the screen as straight BGRA rows, top-down, fully opaque.
    std::vector<std::uint8_t> Pixels(const PixelRect& part) const;

private:
    ScreenShot() = default;
    PixelRect screen_;
    ScopedBitmap bitmap_;  // a top-down 32-bit DIB section of the screen's size
    std::uint8_t* bits_ = nullptr;
};

}  // namespace velvane::capture
