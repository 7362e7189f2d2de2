#pragma once
// "Open at Sign-in": the value Velvane under the user's Run key starts this program's
// resident copy with "tray restore signin", so the pins open when the last session ended
// come back when the user signs in (and nothing the user closed before).

#include <string>

namespace velvane::mMain {

// Whether the Run value names this program (another copy's path does not count); one the
// previous version wrote is rewritten in the current words.
bool OpensAtSignIn();

// Writes or removes the Run value; false when the registry refused.
bool OpenAtSignIn(bool on);

}  // namespace velvane::mMain
