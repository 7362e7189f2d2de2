#pragma once
// The whole virtual screen at one moment, every monitor in physical pixels, pins included.

#include "common/Scoped.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "core/Selection.h"

namespace velvane::capture {

class ScreenShot {
public:
    // Empty when the screen cannot be read (no memory for a bitmap of its size).
    static std::optional<ScreenShot> Take();
    // The same of a part of any DC whose logical coordinates are the screen's.
    static std::optional<ScreenShot> Take(HDC from, const PixelRect& screen);

    const PixelRect& Screen() const { return screen_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    // Its pixels, top-down rows of the screen's width.
    const std::uint32_t* Bits() const { return reinterpret_cast<const std::uint32_t*>(bits_); }
    // The part within the screen as straight BGRA rows, top-down, fully opaque.
    std::vector<std::uint8_t> Pixels(const PixelRect& part) const;

    // What shows of the top-level window under a point as the screen was when taken, within
    // the screen; the monitor under the point where no window is. The desktop itself, windows
    // that let clicks through and wholly clear ones are not windows a user points at.
    PixelRect WindowAt(Pixel at) const;

private:
    ScreenShot() = default;
    PixelRect screen_;
    std::vector<PixelRect> windows_;  // what shows of each, front first
    ScopedBitmap bitmap_;  // a top-down 32-bit DIB section of the screen's size
    std::uint8_t* bits_ = nullptr;
};

}  // namespace velvane::capture
