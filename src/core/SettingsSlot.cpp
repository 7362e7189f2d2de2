#include "core/SettingsSlot.h"

#include <algorithm>
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

std::vector<std::uint8_t> PatchedSlot(const std::uint8_t* slot, std::size_t size, std::uint64_t offset) {
    if (slot == nullptr || size < OffsetFieldStart + OffsetFieldLength)
        throw std::runtime_error("the settings slot is missing or too short");
    if (offset > 999999999u) throw std::runtime_error("the program file is too long for the offset field");
    std::vector<std::uint8_t> patched(slot, slot + size);
    for (std::size_t i = OffsetFieldLength; i-- > 0; offset /= 10)
        patched[OffsetFieldStart + i] = static_cast<std::uint8_t>('0' + offset % 10);
    return patched;
}

std::size_t ReplaceSlot(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& current,
                        const std::vector<std::uint8_t>& patched) {
    if (current.empty() || current.size() != patched.size()) return 0;
    std::size_t found = 0;
    for (std::size_t at = 0; at + current.size() <= file.size();) {
        if (std::equal(current.begin(), current.end(), file.begin() + static_cast<std::ptrdiff_t>(at))) {
            std::copy(patched.begin(), patched.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
            ++found;
            at += current.size() + (current.size() % 2);  // the next 16-bit unit after it
        } else {
            at += 2;
        }
    }
    return found;
}

}  // namespace velvane
