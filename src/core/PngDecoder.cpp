#include "core/PngDecoder.h"

#include <spng.h>

#include <cstring>

#include "core/ImageLimits.h"

namespace velvane {
namespace {

// Ancillary chunks (text, profiles) are skipped beyond this, so a file cannot make the
// decoder hold more than the picture itself.
constexpr std::size_t kChunkLimit = std::size_t{16} << 20;

int ReadThrough(spng_ctx*, void* user, void* into, std::size_t length) {
    return (*static_cast<PngReader*>(user))(static_cast<std::uint8_t*>(into), length) ? 0 : SPNG_IO_EOF;
}

// c * a / 255, rounded, without a division.
std::uint8_t Times(unsigned colour, unsigned alpha) {
    const unsigned t = colour * alpha + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// RGBA as decoded, turned in place into premultiplied BGRA.
void Premultiply(std::uint8_t* row, std::int32_t width) {
    for (std::uint8_t* p = row; p != row + 4 * static_cast<std::ptrdiff_t>(width); p += 4) {
        const std::uint8_t red = p[0], alpha = p[3];
        p[0] = Times(p[2], alpha);
        p[1] = Times(p[1], alpha);
        p[2] = Times(red, alpha);
    }
}

}  // namespace

bool HasPngSignature(const std::uint8_t* bytes, std::size_t length) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return length >= 8 && std::memcmp(bytes, signature, 8) == 0;
}

PngDecoder::PngDecoder(PngReader read) : read_(std::move(read)), context_(spng_ctx_new(0)) {
    if (!context_) return;
    spng_set_png_stream(context_, ReadThrough, &read_);
    spng_set_image_limits(context_, static_cast<std::uint32_t>(kMaxImageSide), static_cast<std::uint32_t>(kMaxImageSide));
    spng_set_chunk_limits(context_, kChunkLimit, kChunkLimit);
}

PngDecoder::~PngDecoder() { spng_ctx_free(context_); }

std::optional<std::pair<std::int32_t, std::int32_t>> PngDecoder::Size() {
    spng_ihdr header{};
    if (!context_ || spng_get_ihdr(context_, &header) != 0 || !ImageSizeFits(header.width, header.height)) return std::nullopt;
    return std::pair{static_cast<std::int32_t>(header.width), static_cast<std::int32_t>(header.height)};
}

bool PngDecoder::Decode(const Pixels& into) {
    const auto size = Size();
    if (!size || size->first != into.width || size->second != into.height) return false;
    spng_ihdr header{};
    spng_get_ihdr(context_, &header);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(into.width);
    if (spng_decode_image(context_, nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_PROGRESSIVE | SPNG_DECODE_TRNS) != 0) return false;
    // Rows of an interlaced image fill in over seven passes: they are final only at the end.
    const bool interlaced = header.interlace_method != SPNG_INTERLACE_NONE;
    int result = 0;
    for (spng_row_info row{}; (result = spng_get_row_info(context_, &row)) == 0;) {
        std::uint8_t* out = into.rows + static_cast<std::ptrdiff_t>(row.row_num) * into.stride;
        result = spng_decode_row(context_, out, rowBytes);
        if (result != 0 && result != SPNG_EOI) break;
        if (!interlaced) Premultiply(out, into.width);
        if (result == SPNG_EOI) break;
    }
    if (result != SPNG_EOI) return false;
    for (std::int32_t y = 0; interlaced && y < into.height; ++y) Premultiply(into.rows + y * into.stride, into.width);
    return true;
}

}  // namespace velvane
