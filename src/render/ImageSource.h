#pragma once
// One image file as the renderer reads it: a PNG by libspng, straight into the caller's
// rows; anything else (JPEG, GIF, BMP, TIFF, icons), and any PNG libspng refuses, by GDI+
// as it always was. GDI+ must be started while a source lives.

#include "common/Scoped.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "render/GdiPlus.h"
#include "render/PngDecoder.h"
#include "render/Resample.h"

namespace velvane {

class ImageSource {
public:
    // Reads the header only (a PNG), or loads the image (GDI+).
    explicit ImageSource(const std::wstring& path);

    // The pixel size; 0 x 0 when the file cannot be read, or holds an image larger than
    // the program takes.
    std::pair<std::int32_t, std::int32_t> Size() const { return size_; }

    // The whole image at its own size as premultiplied BGRA; false when it cannot be had.
    // Once only: what was read is given up.
    bool Decode(const Pixels& into);

private:
    void LoadWithGdiplus();

    std::wstring path_;
    ScopedHandle file_;
    std::unique_ptr<PngDecoder> png_;
    GdipImage image_;
    std::pair<std::int32_t, std::int32_t> size_{0, 0};
};

}  // namespace velvane
