#include "image/Animation.h"

#include <cstring>
#include <new>

#include "core/ImageLimits.h"
#include "image/LayeredPNGWindow.h"
#include "system/Dwm.h"
#include "system/TopDownBitmap.h"

namespace velvane {
namespace {

// 100 frames of 500 x 500 are kept; a longer or larger animation draws the rest as shown.
constexpr std::size_t kKeptFramesBytes = std::size_t{120} << 20;

bool Opaque(const std::uint8_t* bgra, std::size_t bytes) {
    for (std::size_t i = 3; i < bytes; i += 4)
        if (bgra[i] != 255) return false;
    return true;
}

// Whether one opaque window above covers this one whole: then a new frame would not be seen.
bool Covered(HWND hwnd) {
    RECT mine{}, other{}, common{};
    GetWindowRect(hwnd, &mine);
    for (HWND above = GetWindow(hwnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (!IsWindowVisible(above) || (GetWindowLongW(above, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) || Cloaked(above))
            continue;
        if (GetWindowRect(above, &other) && IntersectRect(&common, &mine, &other) && EqualRect(&common, &mine)) return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<Animation> Animation::Load(const std::wstring& path, std::int32_t width, std::int32_t height,
                                           Orientation turn, std::uint8_t alpha) {
    if (!MayAnimate(path) || !ImageSizeFits(width, height)) return nullptr;
    std::unique_ptr<Animation> animation(new Animation(path, width, height, turn, alpha));
    return animation->bits_ && animation->delays_.size() > 1 ? std::move(animation) : nullptr;
}

Animation::Animation(const std::wstring& path, std::int32_t width, std::int32_t height, Orientation turn, std::uint8_t alpha)
    : source_(path), player_(0, std::nullopt), width_(width), height_(height), turn_(turn), alpha_(alpha) {
    const ImageSource::Frames frames = source_.AnimationFrames();
    if (frames.delays.size() < 2) return;
    delays_ = frames.delays;
    player_ = FramePlayer(delays_.size(), frames.loopCount);
    frames_.resize(delays_.size());
    opaque_.resize(delays_.size());
    ScopedWindowDC screen(nullptr);
    dc_.reset(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    bitmap_ = TopDownBitmap(width, height, bits);
    if (!bitmap_) return;
    selection_.Select(dc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint8_t*>(bits);
}

bool Animation::Draw(std::size_t frame) {
    const std::size_t bytes = 4 * static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    const Pixels bitmap{bits_, width_, height_, 4 * static_cast<std::ptrdiff_t>(width_)};
    std::vector<std::uint8_t>& kept = frames_[frame];
    if (kept.empty() && keptBytes_ + bytes <= kKeptFramesBytes) {
        try {
            kept.resize(bytes);
        } catch (const std::bad_alloc&) {
        }
        if (!kept.empty() && !(source_.SelectFrame(frame) && RenderImage(source_, {kept.data(), width_, height_, bitmap.stride}, turn_)))
            std::vector<std::uint8_t>().swap(kept);  // its memory goes too: the budget counts only frames kept
        keptBytes_ += kept.size();
        if (!kept.empty()) opaque_[frame] = Opaque(kept.data(), bytes);
    }
    if (!kept.empty()) {
        std::memcpy(bits_, kept.data(), bytes);
        shownOpaque_ = opaque_[frame];
        return true;
    }
    if (!source_.SelectFrame(frame) || !RenderImage(source_, bitmap, turn_)) return false;
    shownOpaque_ = Opaque(bits_, bytes);
    return true;
}

bool Animation::Step(HWND window) {
    const auto next = player_.Advance();
    if (!next) return false;
    // A hidden, clear or covered window shows nothing new: the frame is only counted.
    if (!IsWindowVisible(window) || alpha_ == 0 || Covered(window) || !Draw(*next)) return true;
    ScopedWindowDC screen(nullptr);
    SIZE size{width_, height_};
    POINT origin{0, 0};
    // A frame without a clear pixel goes without per-pixel alpha: the window system then need
    // not work out the window's shape from the frame's pixels, ten times a second.
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, static_cast<BYTE>(shownOpaque_ ? 0 : AC_SRC_ALPHA)};
    UpdateLayeredWindow(window, screen.get(), nullptr, &size, dc_.get(), &origin, 0, &blend, ULW_ALPHA);
    return true;
}

}  // namespace velvane
