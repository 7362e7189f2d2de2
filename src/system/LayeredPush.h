#pragma once
// One push of a per-pixel-alpha layered window: the premultiplied bitmap selected into source
// becomes the window's picture at the constant alpha, the window moved to at when given.

#include "common/Scoped.h"

#include <cstdint>

namespace velvane {

inline bool PushLayered(HWND window, HDC source, SIZE size, const POINT* at, std::uint8_t alpha) {
    // The screen DC is what UpdateLayeredWindow documents as its destination.
    const ScopedWindowDC screen(nullptr);
    POINT origin{0, 0};
    POINT to = at ? *at : POINT{};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    return UpdateLayeredWindow(window, screen.get(), at ? &to : nullptr, &size, source, &origin, 0, &blend, ULW_ALPHA) != FALSE;
}

}  // namespace velvane
