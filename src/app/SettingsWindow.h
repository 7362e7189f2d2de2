#pragma once
// The Settings window: the global keys, how new pins look, how many closed pin sets are kept and
// whether the program opens at sign-in. A standard dialog, so the keyboard drives it as any other.

namespace velvane::mMain {

// Opens the one Settings window, or brings the open one to the front, whichever copy of the program shows it.
void ShowSettings();

}  // namespace velvane::mMain
