#include "core/Orientation.h"

#include <cstring>

namespace velvane {

std::optional<Orientation> Orientation::FromCode(double code) {
    for (std::int16_t c = 0; c < 8; ++c)
        if (code == c) return Orientation{c % 4, c >= 4};
    return std::nullopt;
}

Orientation Turned(Orientation now, TurnChoice choice) {
    // A mirror after a turn equals the mirror first and the turn the other way.
    switch (choice) {
    case TurnChoice::Left: return {(now.quarterTurns + 3) % 4, now.mirrored};
    case TurnChoice::Right: return {(now.quarterTurns + 1) % 4, now.mirrored};
    case TurnChoice::FlipHorizontal: return {(4 - now.quarterTurns) % 4, !now.mirrored};
    case TurnChoice::FlipVertical: return {(6 - now.quarterTurns) % 4, !now.mirrored};
    case TurnChoice::Reset: return {};
    }
    return now;
}

void TurnPixels(const ConstPixels& source, const Pixels& destination, Orientation orientation) {
    const std::int32_t w = source.width, h = source.height;
    // Where source pixel (x, y) lands; along a source row the destination moves by a fixed step.
    auto place = [&](std::int32_t x, std::int32_t y) {
        if (orientation.mirrored) x = w - 1 - x;
        std::int32_t dx = x, dy = y;
        switch (orientation.quarterTurns) {
        case 1: dx = h - 1 - y, dy = x; break;
        case 2: dx = w - 1 - x, dy = h - 1 - y; break;
        case 3: dx = y, dy = w - 1 - x; break;
        default: break;
        }
        return destination.rows + dy * destination.stride + 4 * static_cast<std::ptrdiff_t>(dx);
    };
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* in = source.rows + y * source.stride;
        std::uint8_t* out = place(0, y);
        const std::ptrdiff_t step = w > 1 ? place(1, y) - out : 0;
        for (std::int32_t x = 0; x < w; ++x, in += 4, out += step) std::memcpy(out, in, 4);
    }
}

}  // namespace velvane
