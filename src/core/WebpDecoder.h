#pragma once
// WebP files, still (lossy, lossless, with alpha) and animated, decoded by libwebp into the
// caller's rows as premultiplied BGRA. libwebp needs the whole file in memory, so the
// decoder takes its bytes and keeps them. An animation's frames come composed on the canvas
// (offsets, blending, disposal), any frame in any order: going back decodes from the first.
// Colour chunks (profiles) are not applied. Portable: no Windows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/Resample.h"

struct WebPAnimDecoder;

namespace velvane {

// Whether the bytes begin with a WebP file's header: "RIFF", a size, "WEBP".
bool HasWebpSignature(const std::uint8_t* bytes, std::size_t length);

class WebpDecoder {
public:
    // Reads the headers and the frame list; nothing the size of the picture is allocated.
    explicit WebpDecoder(std::vector<std::uint8_t> file);
    ~WebpDecoder();
    WebpDecoder(const WebpDecoder&) = delete;
    WebpDecoder& operator=(const WebpDecoder&) = delete;

    // The picture's (an animation's canvas's) size; empty when the file's structure is
    // damaged or the picture is larger than the program takes.
    std::optional<std::pair<std::int32_t, std::int32_t>> Size() const;

    // 1 for a still picture, 0 for a refused file.
    std::int32_t FrameCount() const { return static_cast<std::int32_t>(durations_.size()); }
    bool Animated() const { return animated_; }
    // A frame's duration as the file gives it, in milliseconds (0 for a still picture).
    std::uint32_t DurationMs(std::int32_t frame) const;
    // How many times the animation plays, 0 forever: a count of plays, not of repeats
    // after the first as a GIF's is.
    std::uint32_t LoopCount() const { return loopCount_; }

    // Decodes frame `frame` (0 for a still picture) into rows of the picture's size; false
    // when the data is damaged (a still picture's rows then hold what was decoded so far, an
    // animation's are left as they were).
    bool Decode(const Pixels& into, std::int32_t frame = 0);

private:
    bool DecodeStill(const Pixels& into);
    void DropAnimation();

    std::vector<std::uint8_t> file_;
    std::int32_t width_ = 0, height_ = 0;
    bool animated_ = false;
    std::uint32_t loopCount_ = 0;
    std::vector<std::uint32_t> durations_;
    // The animation's decoder, made at the first frame asked, and the frame it gives next.
    WebPAnimDecoder* animation_ = nullptr;
    std::int32_t next_ = 0;
    const std::uint8_t* canvas_ = nullptr;  // frame next_ - 1, valid until the next step
};

}  // namespace velvane
