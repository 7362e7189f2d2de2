#include "startup/WindowRegistry.h"

namespace velvane::mMain {

// The shared list arrives with close-all; until then each copy keeps to itself.
void UpdateWindowRegistry(HWND, bool) {}

void CloseAllRunning() {}

}  // namespace velvane::mMain
