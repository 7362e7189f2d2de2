#include "core/PinGroups.h"

namespace velvane {

std::optional<int> GroupOfWord(std::wstring_view word) {
    constexpr std::wstring_view prefix = L"group";
    if (word.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::wstring_view rest = word.substr(prefix.size());
    if (rest == L"all") return kAllGroups;
    if (rest.size() == 1 && rest[0] >= L'1' && rest[0] <= L'0' + kGroups) return rest[0] - L'0';
    return std::nullopt;
}

int NextGroup(int shown, const std::array<bool, kGroups + 1>& hasPins) {
    for (int group = shown + 1; group <= kGroups; ++group)
        if (hasPins[static_cast<std::size_t>(group)]) return group;
    // Past the last group with pins comes all of them; after all, the first one again.
    if (shown != kAllGroups) return kAllGroups;
    for (int group = 1; group <= kGroups; ++group)
        if (hasPins[static_cast<std::size_t>(group)]) return group;
    return kAllGroups;
}

}  // namespace velvane
