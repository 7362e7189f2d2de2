#include "core/WebpDecoder.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <climits>
#include <cstring>

#include "core/ImageLimits.h"

namespace velvane {

bool HasWebpSignature(const std::uint8_t* bytes, std::size_t length) {
    return length >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WEBP", 4) == 0;
}

WebpDecoder::WebpDecoder(std::vector<std::uint8_t> file) : file_(std::move(file)) {
    // The headers alone first: the size is judged before libwebp allocates anything.
    WebPBitstreamFeatures features;
    if (file_.empty() || WebPGetFeatures(file_.data(), file_.size(), &features) != VP8_STATUS_OK ||
        !ImageSizeFits(features.width, features.height))
        return;
    // The demuxer checks the whole layout (every chunk inside the file, every frame inside
    // the canvas), so a damaged file is refused here rather than halfway through a play.
    const WebPData data{file_.data(), file_.size()};
    WebPDemuxer* demuxer = WebPDemux(&data);
    if (!demuxer) return;
    if (WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_WIDTH) == static_cast<std::uint32_t>(features.width) &&
        WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_HEIGHT) == static_cast<std::uint32_t>(features.height)) {
        WebPIterator frame;
        if (WebPDemuxGetFrame(demuxer, 1, &frame)) {
            do durations_.push_back(features.has_animation && frame.duration > 0 ? static_cast<std::uint32_t>(frame.duration) : 0);
            while (WebPDemuxNextFrame(&frame));
            WebPDemuxReleaseIterator(&frame);
        }
        width_ = features.width;
        height_ = features.height;
        animated_ = features.has_animation != 0;
        loopCount_ = animated_ ? WebPDemuxGetI(demuxer, WEBP_FF_LOOP_COUNT) : 0;
        if (!animated_ && durations_.size() != 1) durations_.clear();
    }
    WebPDemuxDelete(demuxer);
}

WebpDecoder::~WebpDecoder() { DropAnimation(); }

std::optional<std::pair<std::int32_t, std::int32_t>> WebpDecoder::Size() const {
    if (durations_.empty()) return std::nullopt;
    return std::pair{width_, height_};
}

std::uint32_t WebpDecoder::DurationMs(std::int32_t frame) const {
    return frame >= 0 && frame < FrameCount() ? durations_[static_cast<std::size_t>(frame)] : 0;
}

void WebpDecoder::DropAnimation() {
    WebPAnimDecoderDelete(animation_);
    animation_ = nullptr;
    next_ = 0;
    canvas_ = nullptr;
}

bool WebpDecoder::DecodeStill(const Pixels& into) {
    const std::ptrdiff_t stride = into.stride < 0 ? -into.stride : into.stride;
    WebPDecoderConfig config;
    if (stride > INT_MAX || !WebPInitDecoderConfig(&config)) return false;
    config.output.colorspace = MODE_bgrA;
    config.output.is_external_memory = 1;
    // libwebp steps down through memory: rows that go up are written from the lowest, flipped.
    config.options.flip = into.stride < 0;
    config.output.u.RGBA.rgba = into.stride < 0 ? into.rows + (into.height - 1) * into.stride : into.rows;
    config.output.u.RGBA.stride = static_cast<int>(stride);
    config.output.u.RGBA.size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(into.height - 1) + 4 * static_cast<std::size_t>(into.width);
    const bool decoded = WebPDecode(file_.data(), file_.size(), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return decoded;
}

bool WebpDecoder::Decode(const Pixels& into, std::int32_t frame) {
    if (!Size() || into.width != width_ || into.height != height_ || frame < 0 || frame >= FrameCount()) return false;
    if (!animated_) return DecodeStill(into);
    // The canvas holds the composed frames so far: asking for an earlier one starts again.
    if (frame < next_ - 1) DropAnimation();
    if (!animation_) {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) return false;
        options.color_mode = MODE_bgrA;
        const WebPData data{file_.data(), file_.size()};
        if (!(animation_ = WebPAnimDecoderNew(&data, &options))) return false;
    }
    while (next_ <= frame) {
        std::uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(animation_, &canvas, &timestamp)) {
            DropAnimation();  // its state after a failure is not to be relied on
            return false;
        }
        canvas_ = canvas;
        ++next_;
    }
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width_);
    for (std::int32_t y = 0; y < height_; ++y)
        std::memcpy(into.rows + y * into.stride, canvas_ + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    return true;
}

}  // namespace velvane
