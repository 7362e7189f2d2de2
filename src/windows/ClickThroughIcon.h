#pragma once
// The way back from click-through and hiding: while any window of this copy lets the mouse
// through or is hidden, an icon in the notification area offers "Clickable Again" or
// "Show All", and "Exit". Its hidden owner window also takes the Ctrl+Alt+H hotkey.

namespace velvane::ClickThroughIcon {

// Shows the icon while a loaded window is click-through or hidden, and takes it away otherwise;
// false when the icon cannot be shown as wanted (no notification area to be had). Shown
// again when Explorer restarts.
bool Refresh();

// Ctrl+Alt+H hides every image window of every running copy, or shows them again. Held by
// one copy at a time; a copy that ends passes it on to another.
void ListenForHideHotkey();
void PassOnHideHotkey();

}  // namespace velvane::ClickThroughIcon
