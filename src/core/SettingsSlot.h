#pragma once
// The 29-byte settings slot resource: nine bytes at offset 11 say whether the program
// file carries a package and at which byte offset it starts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velvane {

constexpr std::size_t SlotSize = 29;
constexpr std::size_t OffsetFieldStart = 11;
constexpr std::size_t OffsetFieldLength = 9;

// What the slot reads as when no package is recorded: one NUL character, not "".
inline const std::wstring EmptySlotMarker(1, L'\0');

// The offset field as text, or EmptySlotMarker when it holds nine BEL bytes.
// Throws std::runtime_error when the slot is too short to hold the field.
std::wstring OffsetFieldText(const std::uint8_t* slot, std::size_t size);

// A copy of the slot whose offset field holds the offset as nine digits; throws
// std::runtime_error when the offset needs ten or more digits or the slot is too short.
std::vector<std::uint8_t> PatchedSlot(const std::uint8_t* slot, std::size_t size, std::uint64_t offset);

// Overwrites every occurrence of the current slot in a program file's bytes with the
// patched one. Only occurrences at even offsets count (the bytes are compared as 16-bit
// units), left to right, without overlaps. Returns how many there were.
std::size_t ReplaceSlot(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& current,
                        const std::vector<std::uint8_t>& patched);

}  // namespace velvane
