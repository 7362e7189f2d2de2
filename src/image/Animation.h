#pragma once
// An animated image (a GIF or a WebP) playing in its window. Each frame is drawn once at the
// window's size and kept; beyond what memory allows for them, frames are drawn as shown.

#include "common/Scoped.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/FrameTiming.h"
#include "core/Orientation.h"
#include "image/ImageSource.h"
#include "system/GdiPlus.h"

namespace velvane {

class Animation {
public:
    // Empty when the file holds no animation or it cannot be drawn at this size. The
    // window shows the first frame already.
    static std::unique_ptr<Animation> Load(const std::wstring& path, std::int32_t width, std::int32_t height,
                                           Orientation turn, std::uint8_t alpha);

    // How long, in milliseconds, the current frame stays.
    unsigned Delay() const { return delays_[player_.Current()]; }

    // Goes on to the next frame, drawn into the window only when it can be seen; false
    // once the animation has ended (its last frame stays).
    bool Step(HWND window);

    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

private:
    Animation(const std::wstring& path, std::int32_t width, std::int32_t height, Orientation turn, std::uint8_t alpha);
    bool Draw(std::size_t frame);

    GdiplusSession session_;  // before the source, which needs it while it lives
    ImageSource source_;
    std::vector<std::uint32_t> delays_;
    FramePlayer player_;
    std::int32_t width_, height_;
    Orientation turn_;
    std::uint8_t alpha_;
    std::vector<std::vector<std::uint8_t>> frames_;  // empty where a frame is not kept
    std::vector<bool> opaque_;                        // of each kept frame: no pixel clear
    bool shownOpaque_ = false;                        // of the frame drawn last
    std::size_t keptBytes_ = 0;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelection selection_;
    std::uint8_t* bits_ = nullptr;
};

}  // namespace velvane
