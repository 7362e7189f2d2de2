#pragma once
// The program's icon in the notification area. The resident copy shows it all along, with
// the menu that pins from the screen and the clipboard; any other copy while one of its
// windows lets the mouse through or is hidden ("Clickable Again", "Show All", "Exit"). Its
// hidden owner window takes the global keys and the requests of other copies.

#include "common/Scoped.h"

namespace velvane::NotificationIcon {

// The hidden window behind the icon, made the first time it is asked for.
HWND Owner();
constexpr const wchar_t* OwnerClass = L"Velvane.NotificationIcon";

// Shows, updates or takes away the icon as this copy's windows now need; false when it
// cannot be shown as wanted (no notification area to be had). Shown again when Explorer restarts.
bool Refresh();

// A short balloon on the icon, when it shows.
void Say(const wchar_t* text);

// Before the copy ends: the icon goes, and the global keys pass to another copy.
void Remove();

}  // namespace velvane::NotificationIcon
