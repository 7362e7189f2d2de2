#pragma once
// The frame of a selected pin: a ring in the system's highlight colour just outside the
// picture, in windows of its own that clicks pass through, so the picture (and what Ctrl+C
// copies) never changes.

#include "common/Scoped.h"

#include <array>

namespace velvane {

class SelectionFrame {
public:
    static constexpr int kWidth = 2;

    explicit SelectionFrame(HWND pin);
    SelectionFrame(const SelectionFrame&) = delete;
    SelectionFrame& operator=(const SelectionFrame&) = delete;

    // Around the pin as it is now: moved, sized, shown or hidden with it.
    void Follow();

private:
    HWND pin_;
    std::array<ScopedWindow, 4> sides_;  // top, bottom, left, right
};

}  // namespace velvane
