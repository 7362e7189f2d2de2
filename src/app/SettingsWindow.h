#pragma once
// The Settings window: the global keys, how new pins look, how many closed pin sets are kept and
// whether the program opens at sign-in. A standard dialog, so the keyboard drives it as any other.

namespace velvane::mMain {

// Opens the one Settings window, or brings the open one to the front, whichever copy of the program shows it.
void ShowSettings();

// The window's control ids. A key row's controls are the row's first id plus the key's place in kGlobalKeys.
namespace SettingsIds {
enum : int {
    KeyLabel = 1000,
    KeyBox = 1010,  // the hot-key control
    NoKey = 1020,
    KeyState = 1030,
    TopMost = 1100,
    Opacity = 1102,
    FadeIn = 1103,
    Edge = 1105,
    Colour = 1106,
    Swatch = 1107,
    Kept = 1201,
    KeptArrows = 1202,
    SignIn = 1203,
    Apply = 1300,  // OK and Cancel are IDOK and IDCANCEL
};
}  // namespace SettingsIds

}  // namespace velvane::mMain
