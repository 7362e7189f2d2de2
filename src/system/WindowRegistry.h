#pragma once
// The per-user list of open logo windows through which "closeall" reaches every copy.

#include <cstdint>

#include "common/Scoped.h"

#include <vector>

namespace velvane::mMain {

// Adds (add = true) or removes a window handle in the list. Throws when the list
// cannot be reached or is full: a window that cannot be listed must not open.
void UpdateWindowRegistry(HWND window, bool add);

// Asks every listed window, in any running copy, to close, and empties the list. The
// request names the close-all and this copy (wParam: the process id, lParam: the close-all),
// so that each copy ends whole and keeps its pins. A copy that ends at once ("closeall")
// waits for the other copies' windows to go first: they check who asks while it runs.
void CloseAllRunning(std::uint32_t closeAll, bool waitForOthers = false);

// Asks every listed window, in any running copy, to take the mouse again; the list stays.
void MakeAllRunningClickable();

// The message by which a window of any copy is asked to take the mouse again.
UINT ClickableAgainMessage();

// Hides (Hide) or shows (Show) every pin of every running copy, or, with Toggle, hides them
// all while any is shown and shows them otherwise; the list stays. About windows stay as they are.
enum class Visibility { Show, Hide, Toggle };
void HideOrShowAllRunning(Visibility how);

// Every listed pin (not about windows) of every running copy, shown or hidden.
std::vector<HWND> AllRunningPins();

// The message by which a window of any copy is asked to hide (wParam 1) or show (0); lParam
// names the asking copy's process.
UINT HideShowMessage();

}  // namespace velvane::mMain
