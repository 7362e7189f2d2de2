#pragma once
// How a window's picture is turned: a mirror left to right first, then quarter turns
// clockwise. Kept beside the image, never applied to the stored image itself.

#include <cstdint>
#include <optional>

#include "core/Resample.h"

namespace velvane {

enum class TurnChoice { Left, Right, FlipHorizontal, FlipVertical, Reset };

struct Orientation {
    int quarterTurns = 0;  // clockwise, 0 to 3
    bool mirrored = false;

    bool operator==(const Orientation& other) const {
        return quarterTurns == other.quarterTurns && mirrored == other.mirrored;
    }
    bool operator!=(const Orientation& other) const { return !(*this == other); }
    bool SwapsSides() const { return quarterTurns % 2 == 1; }

    // As stored beside a window's image: 0 to 7; anything else is no orientation.
    std::int16_t Code() const { return static_cast<std::int16_t>(quarterTurns + (mirrored ? 4 : 0)); }
    static std::optional<Orientation> FromCode(double code);
};

// The orientation after a choice, each acting on the picture as it shows now.
Orientation Turned(Orientation now, TurnChoice choice);

// Writes the whole source into the destination turned; the destination's sides are the
// source's, swapped when the orientation swaps them.
void TurnPixels(const ConstPixels& source, const Pixels& destination, Orientation orientation);

}  // namespace velvane
