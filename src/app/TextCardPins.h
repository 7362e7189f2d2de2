#pragma once
// Text from the clipboard pinned as a card.

#include "common/Scoped.h"

#include <string>

namespace velvane::mMain {

// Pins the text as a card centred on the point, its picture at size 1 kept in a PNG file of our
// own (what a previous version shows); false when the text shows nothing or no card could be made.
bool PinTextCard(const std::wstring& clipboardText, POINT at);

}  // namespace velvane::mMain
