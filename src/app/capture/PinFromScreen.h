#pragma once
// "Pin from Screen": the screen is taken at once, the user selects on it, and what was
// selected becomes a pin exactly where it was, pixel for pixel (top-most, opacity 100,
// size 1, no fade), kept like a pasted pin.

namespace velvane::capture {

// Returns once the pin is open or the selection cancelled; a second call while selecting does nothing.
void PinFromScreen();

}  // namespace velvane::capture
