#pragma once
// A pin collapsed to a tile: a small opaque square, the same for every picture, that shows
// the whole picture fitted inside it, so tiles tell apart and stay easy to hit.

#include <cstdint>

#include "core/Resample.h"

namespace velvane {

constexpr std::int32_t kTileSide = 96, kTileMargin = 4;
constexpr std::uint32_t kTileBackground = 0xF3F3F3, kTileBorder = 0x8A8A8A;  // 0xRRGGBB

// Where a picture of these sides goes in a tile: never enlarged, never cut, centred.
struct TileFit {
    float factor;
    std::int32_t left, top, width, height;
};
TileFit FitInTile(std::int32_t width, std::int32_t height);

// The tile: its background and one-pixel border, and the picture (premultiplied, of the fitted
// sides) over it at its place. The tile's pixels are kTileSide square.
void ComposeTile(const Pixels& tile, const ConstPixels& picture, const TileFit& fit);

}  // namespace velvane
