#pragma once
// A key as the Windows hot-key control holds it (its own modifier flags), and back.

#include "common/Scoped.h"

#include "core/Preferences.h"

namespace velvane {

// What HKM_SETHOTKEY takes; a Win modifier has no place in it and is left out.
WPARAM HotKeyControlValue(HotKey key);
// What HKM_GETHOTKEY gives.
HotKey FromHotKeyControl(LRESULT value);

}  // namespace velvane
