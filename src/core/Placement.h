#pragma once
// Where a logo window goes: twips on the command line and in packages, pixels on screen.

#include <cstdint>
#include <optional>

namespace velvane {

// Window coordinates Windows keeps within 16 bits: no screen places a window beyond.
constexpr double kMaxScreenCoordinate = 32767;

// The screen's twips per pixel along one axis, from its logical pixels per inch.
inline double TwipsPerPixel(int pixelsPerInch) { return pixelsPerInch > 0 ? 1440.0 / pixelsPerInch : 15.0; }

// The edge, in twips, that centres a scaled image on the screen along one axis.
std::optional<std::int32_t> CentredEdgeTwips(std::int32_t screenPixels, double twipsPerPixel, float sizeFactor,
                                             std::int32_t imagePixels);

std::optional<std::int32_t> TwipsToPixels(double twips, double twipsPerPixel);

// Where an edge goes, in pixels, when a side of oldSide pixels becomes newSide about a
// fixed point: the image's point under the pointer stays under the pointer.
std::int32_t ZoomedEdge(std::int32_t pointer, std::int32_t edge, std::int32_t oldSide, std::int32_t newSide);

}  // namespace velvane
