#pragma once
// A ring just outside a pin, in windows of its own that clicks pass through, so the picture (and
// what Ctrl+C copies) never changes: a selected pin's frame, and a pin's edge (a line or a soft
// shadow).

#include "common/Scoped.h"

#include <array>

namespace velvane {

struct RingLook {
    int width = 2;
    COLORREF colour = 0;  // a solid ring's
    bool shadow = false;  // dark at the pin, fading out
};

class PinRing {
public:
    // className names the ring's windows, so that they can be told apart; gap, the pixels
    // between the pin and the ring (another ring's).
    PinRing(HWND pin, const wchar_t* className, RingLook look, int gap = 0);
    PinRing(const PinRing&) = delete;
    PinRing& operator=(const PinRing&) = delete;

    // Around the pin as it is now: moved, sized, shown or hidden with it.
    void Follow();
    void Gap(int gap);

private:
    // A shadow's side drawn afresh for its size, and put in place.
    void PushShadow(std::size_t side, const RECT& place);

    HWND pin_;
    RingLook look_;
    int gap_;
    std::array<ScopedWindow, 4> sides_;  // top, bottom, left, right
    std::array<SIZE, 4> drawn_{};        // a shadow's sides as last drawn
};

}  // namespace velvane
