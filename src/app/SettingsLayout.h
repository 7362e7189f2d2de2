#pragma once
// Where the Settings window's controls lie, in dialog units, in the order Tab goes through them.

#include <vector>

#include "system/DialogTemplate.h"

namespace velvane::mMain {

constexpr int kSettingsWidth = 380, kSettingsHeight = 232;  // dialog units

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

std::vector<DialogControl> SettingsControls();

}  // namespace velvane::mMain
