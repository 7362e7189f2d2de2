#include "package/SettingsSlot.h"

#include <stdexcept>

namespace velvane {

std::wstring OffsetFieldText(const std::uint8_t* slot, std::size_t size) {
    if (slot == nullptr || size < OffsetFieldStart + OffsetFieldLength)
        throw std::runtime_error("the settings slot is missing or too short");
    std::wstring text;
    bool pristine = true;
    for (std::size_t i = OffsetFieldStart; i < OffsetFieldStart + OffsetFieldLength; ++i) {
        // Bytes are taken as Latin-1; the field only ever holds BEL or ASCII digits.
        text.push_back(static_cast<wchar_t>(slot[i]));
        pristine = pristine && slot[i] == 0x07;
    }
    return pristine ? EmptySlotMarker : text;
}

}  // namespace velvane
