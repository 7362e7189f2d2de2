#pragma once
// The frame of a selected pin: a ring in the system's highlight colour just outside the
// picture, in a window of its own that clicks pass through, so the picture (and what Ctrl+C
// copies) never changes.

#include "common/Scoped.h"

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
    ScopedWindow hwnd_;
    SIZE drawn_{};
};

}  // namespace velvane
