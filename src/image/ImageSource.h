#pragma once
// One image file as the renderer reads it: a PNG by libspng, straight into the caller's
// rows; anything else (JPEG, GIF, BMP, TIFF, icons), and any PNG libspng refuses, by GDI+
// as it always was. GDI+ must be started while a source lives.

#include "common/Scoped.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/PngDecoder.h"
#include "core/Resample.h"
#include "system/GdiPlus.h"

namespace velvane {

// Only GIFs animate: anything else is not loaded a second time to find out.
bool IsGifFile(const std::wstring& path);

class ImageSource {
public:
    // Reads the header only (a PNG), or loads the image (GDI+).
    explicit ImageSource(const std::wstring& path);

    // The pixel size; 0 x 0 when the file cannot be read, or holds an image larger than
    // the program takes.
    std::pair<std::int32_t, std::int32_t> Size() const { return size_; }

    // The whole image at its own size as premultiplied BGRA; false when it cannot be had.
    // Once only, what was read then given up, unless a frame was selected.
    bool Decode(const Pixels& into);

    // An animation's frames (a GIF's, read by GDI+): their delays as stored, in hundredths
    // of a second, and the loop count when the file gives one. No delays for a still image.
    struct Frames {
        std::vector<std::uint32_t> delays;
        std::optional<std::uint32_t> loopCount;
    };
    Frames AnimationFrames() const;
    // Makes the frame the one Decode reads, as often as asked.
    bool SelectFrame(std::size_t index);

private:
    void LoadWithGdiplus();

    std::wstring path_;
    ScopedHandle file_;
    std::unique_ptr<PngDecoder> png_;
    GdipImage image_;
    std::pair<std::int32_t, std::int32_t> size_{0, 0};
    bool keep_ = false;
};

}  // namespace velvane
