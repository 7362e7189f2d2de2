#pragma once
// A rectangle of whole pixels: left and top inside, right and bottom just outside.

#include <cstdint>

namespace velvane {

struct PixelRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

}  // namespace velvane
