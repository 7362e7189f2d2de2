#pragma once
// When the frames of an animated image are shown: each at its own delay, looped as the
// file says.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velvane {

// A frame's delay as stored (hundredths of a second) in milliseconds as shown: under 20 ms
// counts as 100 ms, as browsers do, since such files were made for players that did so.
std::uint32_t ShownDelayMs(std::uint32_t hundredths);
// The same for a duration stored in milliseconds (WebP): 10 ms or less shows as 100 ms.
std::uint32_t ShownDurationMs(std::uint32_t milliseconds);

// A WebP file's loop count (plays, 0 forever) as FramePlayer counts loops (repeats).
std::optional<std::uint32_t> RepeatsOfPlays(std::uint32_t plays);

// Steps through the frames: loopCount absent plays them once, 0 forever, n plays them n
// more times after the first (the count a file gives is of repeats, as browsers read it).
class FramePlayer {
public:
    FramePlayer(std::size_t frames, std::optional<std::uint32_t> loopCount) : frames_(frames), loopCount_(loopCount) {}

    std::size_t Current() const { return current_; }
    // The next frame, now current; empty once the last play has ended.
    std::optional<std::size_t> Advance();

private:
    std::size_t frames_, current_ = 0;
    std::optional<std::uint32_t> loopCount_;
    std::uint32_t repeats_ = 0;
};

}  // namespace velvane
