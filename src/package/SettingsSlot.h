#pragma once
// The 29-byte settings slot resource: nine bytes at offset 11 say whether the program
// file carries a package and at which byte offset it starts.

#include <cstddef>
#include <cstdint>
#include <string>

namespace velvane {

constexpr std::size_t SlotSize = 29;
constexpr std::size_t OffsetFieldStart = 11;
constexpr std::size_t OffsetFieldLength = 9;

// What the slot reads as when no package is recorded: one NUL character, not "".
inline const std::wstring EmptySlotMarker(1, L'\0');

// The offset field as text, or EmptySlotMarker when it holds nine BEL bytes.
// Throws std::runtime_error when the slot is too short to hold the field.
std::wstring OffsetFieldText(const std::uint8_t* slot, std::size_t size);

}  // namespace velvane
