#pragma once

namespace velvane {

// Lets the window messages that are already waiting run, once.
void DoEvents();

// Dispatches messages for as long as a logo window is loaded, or the copy is resident.
void RunMessageLoop();

// Wakes RunMessageLoop so it notices that the last window is gone.
void WakeMessageLoop();

}  // namespace velvane
