#pragma once

#include <functional>

namespace velvane {

// Lets the window messages that are already waiting run, once.
void DoEvents();

// Dispatches messages for as long as goOn says (asked after each message).
void RunMessageLoop(const std::function<bool()>& goOn);

// Wakes RunMessageLoop so that it asks goOn again.
void WakeMessageLoop();

}  // namespace velvane
