#pragma once
// Whole-file reading and writing for program files and images.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velvane {

// The bytes of a file from an offset to its end; empty when it cannot be read or the
// offset lies past the end.
std::optional<std::vector<std::uint8_t>> ReadFileFrom(const std::wstring& path, std::uint64_t offset = 0);

// Writes a file made of these parts: a new one (never overwriting another), or, with
// replace, over one that exists. On any failure the partly written file is removed and
// false returned.
bool WriteWholeFile(const std::wstring& path, const std::vector<const std::vector<std::uint8_t>*>& parts,
                    bool replace = false);

}  // namespace velvane
