#pragma once
// Shows a logo window's menu as a popup, built afresh from that window's own state.

#include "common/Scoped.h"
#include "core/LogoMenu.h"

namespace velvane {

struct MenuChoice {
    enum Array { None, Logo, Opacity, Size, Turn, Group, Edge } array = None;
    int index = -1;
};

// Shows the visible items at the point (screen pixels) and returns the chosen one.
MenuChoice TrackLogoMenu(HWND owner, const LogoMenu& menu, POINT at);

}  // namespace velvane
