#pragma once
// The way back from click-through: while any window of this copy lets the mouse through,
// an icon in the notification area offers "Clickable Again" and "Exit".

namespace velvane::ClickThroughIcon {

// Shows the icon while a loaded window is click-through, and takes it away otherwise;
// false when the icon cannot be shown as wanted (no notification area to be had). Shown
// again when Explorer restarts.
bool Refresh();

}  // namespace velvane::ClickThroughIcon
