#pragma once
// One image file as the renderer reads it: a PNG by libspng and a WebP by libwebp, straight
// into the caller's rows; anything else (JPEG, GIF, BMP, TIFF, icons), and any PNG libspng
// refuses, by GDI+ as it always was. A photo whose file records a turn (EXIF or TIFF
// orientation) comes upright, as viewers show it: nothing above sees the stored sides. GDI+
// must be started while a source lives.

#include "common/Scoped.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Orientation.h"
#include "core/PngDecoder.h"
#include "core/Resample.h"
#include "core/WebpDecoder.h"
#include "system/GdiPlus.h"

namespace velvane {

// Only GIFs and animated WebP files animate: anything else is not loaded a second time to
// find out.
bool MayAnimate(const std::wstring& path);

class ImageSource {
public:
    // Reads the header only (a PNG), the whole file (a WebP), or loads the image (GDI+).
    explicit ImageSource(const std::wstring& path);

    // The pixel size, upright; 0 x 0 when the file cannot be read, or holds an image larger
    // than the program takes.
    std::pair<std::int32_t, std::int32_t> Size() const {
        return stored_.SwapsSides() ? std::pair{size_.second, size_.first} : size_;
    }

    // The whole image at its own size as premultiplied BGRA; false when it cannot be had.
    // Once only, what was read then given up, unless a frame was selected.
    bool Decode(const Pixels& into);

    // An animation's frames (a GIF's, read by GDI+, or a WebP's): how long each shows, in
    // milliseconds, and the loop count as FramePlayer takes it when the file gives one. No
    // delays for a still image.
    struct Frames {
        std::vector<std::uint32_t> delays;
        std::optional<std::uint32_t> loopCount;
    };
    Frames AnimationFrames() const;
    // Makes the frame the one Decode reads, as often as asked.
    bool SelectFrame(std::size_t index);

private:
    bool LoadWebp();
    void LoadWithGdiplus();
    bool DecodeStored(const Pixels& into);

    std::wstring path_;
    ScopedHandle file_;
    std::unique_ptr<PngDecoder> png_;
    std::unique_ptr<WebpDecoder> webp_;
    std::int32_t webpFrame_ = 0;
    GdipImage image_;
    std::pair<std::int32_t, std::int32_t> size_{0, 0};  // as the file stores it
    Orientation stored_;                                 // what shows the stored picture upright
    bool keep_ = false;
};

}  // namespace velvane
