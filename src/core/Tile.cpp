#include "core/Tile.h"

#include <algorithm>

#include "core/ScaleArithmetic.h"

namespace velvane {

TileFit FitInTile(std::int32_t width, std::int32_t height) {
    const std::int32_t room = kTileSide - 2 * kTileMargin;
    const std::int32_t longer = std::max(width, height);
    const float factor = longer > room ? static_cast<float>(room) / static_cast<float>(longer) : 1.0f;
    // The sides as the renderer makes them at that factor, at least a pixel so a sliver still shows.
    const std::int32_t w = std::clamp(ScaledSide(factor, width).value_or(1), 1, room);
    const std::int32_t h = std::clamp(ScaledSide(factor, height).value_or(1), 1, room);
    return {factor, (kTileSide - w) / 2, (kTileSide - h) / 2, w, h};
}

void ComposeTile(const Pixels& tile, const ConstPixels& picture, const TileFit& fit) {
    for (std::int32_t y = 0; y < tile.height; ++y) {
        std::uint8_t* out = tile.rows + y * tile.stride;
        for (std::int32_t x = 0; x < tile.width; ++x, out += 4) {
            const bool edge = x == 0 || y == 0 || x == tile.width - 1 || y == tile.height - 1;
            const std::uint32_t rgb = edge ? kTileBorder : kTileBackground;
            std::uint32_t b = rgb & 0xFF, g = (rgb >> 8) & 0xFF, r = (rgb >> 16) & 0xFF;
            const std::int32_t px = x - fit.left, py = y - fit.top;
            if (!edge && px >= 0 && py >= 0 && px < fit.width && py < fit.height && px < picture.width && py < picture.height) {
                // Premultiplied picture over an opaque background.
                const std::uint8_t* in = picture.rows + py * picture.stride + 4 * static_cast<std::ptrdiff_t>(px);
                const std::uint32_t rest = 255u - in[3];
                b = in[0] + (b * rest + 127) / 255;
                g = in[1] + (g * rest + 127) / 255;
                r = in[2] + (r * rest + 127) / 255;
            }
            out[0] = static_cast<std::uint8_t>(std::min(b, 255u));
            out[1] = static_cast<std::uint8_t>(std::min(g, 255u));
            out[2] = static_cast<std::uint8_t>(std::min(r, 255u));
            out[3] = 255;
        }
    }
}

}  // namespace velvane
