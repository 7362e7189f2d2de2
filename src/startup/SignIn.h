#pragma once
// "Open at Sign-in": the value Velvane under the user's Run key starts this program with
// "restore", so the pins of the last session come back when the user signs in.

#include <string>

namespace velvane::mMain {

// Whether the Run value names this program (another copy's path does not count).
bool OpensAtSignIn();

// Writes or removes the Run value; false when the registry refused.
bool OpenAtSignIn(bool on);

}  // namespace velvane::mMain
