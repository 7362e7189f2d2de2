#pragma once
// This running copy, as its pins see it.

#include "pin/PinHost.h"

namespace velvane::mMain {

PinHost& CopyHost();

}  // namespace velvane::mMain
