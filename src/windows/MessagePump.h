#pragma once

namespace velvane {

// Lets the window messages that are already waiting run, once.
void DoEvents();

// Dispatches messages for as long as a logo window is loaded.
void RunMessageLoop();

// Wakes RunMessageLoop so it notices that the last window is gone.
void WakeMessageLoop();

}  // namespace velvane
