#pragma once
// Groups of pins, 1 to 9, of which one (or all) shows at a time across every running copy.

#include <array>
#include <optional>
#include <string_view>

namespace velvane {

constexpr int kGroups = 9;
constexpr int kAllGroups = 0;  // the group shown when every pin shows

// The group a command-line word names ("group1" to "group9", "groupall" for all); empty for any other word.
std::optional<int> GroupOfWord(std::wstring_view word);

// The group Ctrl+Alt+G shows after the one shown (kAllGroups for all): the next group that has
// pins, all after the last of them, then the first again; all when no group has pins.
// hasPins is indexed by group (its element 0 unused).
int NextGroup(int shown, const std::array<bool, kGroups + 1>& hasPins);

// A group number as stored or asked for; anything else is none.
inline bool IsGroup(double group) { return group >= 1 && group <= kGroups && static_cast<int>(group) == group; }

}  // namespace velvane
