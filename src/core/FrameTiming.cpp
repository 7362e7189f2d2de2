#include "core/FrameTiming.h"

namespace velvane {

std::uint32_t ShownDelayMs(std::uint32_t hundredths) { return hundredths < 2 ? 100 : hundredths * 10; }

std::uint32_t ShownDurationMs(std::uint32_t milliseconds) { return milliseconds <= 10 ? 100 : milliseconds; }

std::optional<std::uint32_t> RepeatsOfPlays(std::uint32_t plays) {
    if (plays == 1) return std::nullopt;  // once; a count of 0 would play forever
    return plays == 0 ? 0 : plays - 1;
}

std::optional<std::size_t> FramePlayer::Advance() {
    if (frames_ < 2) return std::nullopt;
    if (current_ + 1 < frames_) return ++current_;
    const bool forever = loopCount_ && *loopCount_ == 0;
    if (!forever && (!loopCount_ || repeats_ >= *loopCount_)) return std::nullopt;
    ++repeats_;
    return current_ = 0;
}

}  // namespace velvane
