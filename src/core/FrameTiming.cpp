#include "core/FrameTiming.h"

namespace velvane {

std::uint32_t ShownDelayMs(std::uint32_t hundredths) { return hundredths < 2 ? 100 : hundredths * 10; }

std::optional<std::size_t> FramePlayer::Advance() {
    if (frames_ < 2) return std::nullopt;
    if (current_ + 1 < frames_) return ++current_;
    const bool forever = loopCount_ && *loopCount_ == 0;
    if (!forever && (!loopCount_ || repeats_ >= *loopCount_)) return std::nullopt;
    ++repeats_;
    return current_ = 0;
}

}  // namespace velvane
