#pragma once
// PNG files decoded by libspng straight into the caller's rows as premultiplied BGRA, row
// by row, with no decoded copy of their own: every colour type and bit depth, palettes
// with transparency, interlaced images. Colour chunks (gamma, chromaticity, profiles) are
// not applied. Portable: the bytes come through the caller's reader.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/Resample.h"

struct spng_ctx;

namespace velvane {

// Reads exactly length bytes into the buffer; false at the end of the data or on an error.
using PngReader = std::function<bool(std::uint8_t* into, std::size_t length)>;

// Whether the bytes begin with the PNG signature.
bool HasPngSignature(const std::uint8_t* bytes, std::size_t length);

class PngDecoder {
public:
    explicit PngDecoder(PngReader read);
    ~PngDecoder();
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;

    // The image's size from its header; empty when libspng refuses the header or the image
    // is larger than the program takes (checked before anything is allocated).
    std::optional<std::pair<std::int32_t, std::int32_t>> Size();

    // Decodes the image into rows of its own size; false when the data is damaged (the
    // rows then hold what was decoded so far).
    bool Decode(const Pixels& into);

private:
    PngReader read_;
    spng_ctx* context_;
};

}  // namespace velvane
