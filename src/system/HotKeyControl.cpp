#include "system/HotKeyControl.h"

#include <commctrl.h>

namespace velvane {

namespace {

// Keys the hot-key control tells from their number-pad twins only by the extended flag.
bool Extended(std::uint8_t vk) {
    return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE || vk == VK_DIVIDE || vk == VK_SNAPSHOT ||
           vk == VK_NUMLOCK;
}

}  // namespace

WPARAM HotKeyControlValue(HotKey key) {
    const int flags = (key.modifiers & HotKey::kShift ? HOTKEYF_SHIFT : 0) | (key.modifiers & HotKey::kCtrl ? HOTKEYF_CONTROL : 0) |
                      (key.modifiers & HotKey::kAlt ? HOTKEYF_ALT : 0) | (Extended(key.vk) ? HOTKEYF_EXT : 0);
    return MAKEWORD(key.vk, flags);
}

HotKey FromHotKeyControl(LRESULT value) {
    const BYTE flags = HIBYTE(LOWORD(value));
    const int modifiers = (flags & HOTKEYF_SHIFT ? HotKey::kShift : 0) | (flags & HOTKEYF_CONTROL ? HotKey::kCtrl : 0) |
                          (flags & HOTKEYF_ALT ? HotKey::kAlt : 0);
    return {static_cast<std::uint8_t>(modifiers), LOBYTE(LOWORD(value))};
}

}  // namespace velvane
