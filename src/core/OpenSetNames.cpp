#include "core/OpenSetNames.h"

#include <algorithm>
#include <cwchar>

namespace velvane {
namespace {

constexpr const wchar_t* kExtension = L".velvane";
constexpr const wchar_t* kClaimExtension = L".restoring";
constexpr const wchar_t* kDigits = L"0123456789ABCDEF";

std::wstring Hex(std::uint64_t value, int digits) {
    std::wstring text(digits, L'0');
    for (int i = digits; i-- > 0; value >>= 4) text[i] = kDigits[value & 15];
    return text;
}

std::optional<std::uint64_t> ReadHex(const std::wstring& text) {
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        const wchar_t* at = std::wcschr(kDigits, c);
        if (!at || c == 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(at - kDigits);
    }
    return value;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The owner written as "<process id, 8 digits>-<start time, 16 digits>".
std::wstring OwnerText(const OpenSetOwner& owner) { return Hex(owner.processId, 8) + L"-" + Hex(owner.startTime, 16); }

std::optional<OpenSetOwner> OwnerFrom(const std::wstring& text) {
    if (text.size() != 25 || text[8] != L'-') return std::nullopt;
    const auto id = ReadHex(text.substr(0, 8)), start = ReadHex(text.substr(9, 16));
    if (!id || !start) return std::nullopt;
    return OpenSetOwner{static_cast<std::uint32_t>(*id), *start};
}

// Newest first.
std::vector<std::pair<ClosedSet, std::wstring>> ByAge(const std::vector<std::wstring>& names) {
    std::vector<std::pair<ClosedSet, std::wstring>> sets;
    for (const std::wstring& name : names)
        if (const auto set = ClosedSetOf(name)) sets.emplace_back(*set, name);
    std::sort(sets.begin(), sets.end(), [](const auto& a, const auto& b) {
        return a.first.number != b.first.number ? a.first.number > b.first.number : a.second > b.second;
    });
    return sets;
}

}  // namespace

std::wstring OpenSetName(const OpenSetOwner& owner) { return OwnerText(owner) + kExtension; }

std::optional<OpenSetOwner> OpenSetOwnerOf(const std::wstring& name) {
    if (!EndsWith(name, kExtension)) return std::nullopt;
    return OwnerFrom(name.substr(0, name.size() - std::wcslen(kExtension)));
}

std::wstring ClaimName(const std::wstring& set, const OpenSetOwner& claimer) {
    return set + L"." + OwnerText(claimer) + kClaimExtension;
}

std::optional<Claim> ClaimOf(const std::wstring& name) {
    if (!EndsWith(name, kClaimExtension)) return std::nullopt;
    const std::wstring stem = name.substr(0, name.size() - std::wcslen(kClaimExtension));
    const std::size_t dot = stem.rfind(L'.');
    if (dot == std::wstring::npos || !EndsWith(stem.substr(0, dot), kExtension)) return std::nullopt;
    const std::wstring set = stem.substr(0, dot), owner = stem.substr(dot + 1);
    if (const auto claimer = OwnerFrom(owner)) return Claim{set, *claimer};
    // An earlier version's: the process id alone, in decimal.
    if (owner.empty() || owner.size() > 10 || owner.find_first_not_of(L"0123456789") != std::wstring::npos) return std::nullopt;
    const std::uint64_t id = std::wcstoull(owner.c_str(), nullptr, 10);
    if (id > 0xFFFFFFFFu) return std::nullopt;
    return Claim{set, {static_cast<std::uint32_t>(id), 0}};
}

std::wstring SetOf(const std::wstring& name) {
    const auto claim = ClaimOf(name);
    return claim ? claim->set : name;
}

std::wstring KeptSetName(const std::vector<std::wstring>& names) {
    std::uint64_t last = 0;
    for (const std::wstring& name : names)
        if (const auto owner = OpenSetOwnerOf(SetOf(name)); owner && owner->processId == 0) last = std::max(last, owner->startTime);
    return OpenSetName({0, last + 1});
}

std::wstring ClosedSetName(const ClosedSet& set) {
    return Hex(set.number, 16) + L"-" + Hex(set.processId, 8) + L"-" + Hex(set.closeAll, 8) + kExtension;
}

std::optional<ClosedSet> ClosedSetOf(const std::wstring& name) {
    if (!EndsWith(name, kExtension)) return std::nullopt;
    const std::wstring stem = name.substr(0, name.size() - std::wcslen(kExtension));
    if ((stem.size() != 25 && stem.size() != 34) || stem[16] != L'-' || (stem.size() == 34 && stem[25] != L'-')) return std::nullopt;
    const auto number = ReadHex(stem.substr(0, 16)), id = ReadHex(stem.substr(17, 8));
    const auto closeAll = stem.size() == 34 ? ReadHex(stem.substr(26, 8)) : std::optional<std::uint64_t>(0);
    if (!number || !id || !closeAll) return std::nullopt;
    return ClosedSet{*number, static_cast<std::uint32_t>(*id), static_cast<std::uint32_t>(*closeAll)};
}

std::uint64_t NextClosedNumber(const std::vector<std::wstring>& names) {
    const auto sets = ByAge(names);
    return sets.empty() ? 1 : sets.front().first.number + 1;
}

std::vector<std::wstring> NewestClosedSets(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> newest;
    const auto sets = ByAge(names);
    for (const auto& [set, name] : sets)
        if (newest.empty() || (set.closeAll != 0 && set.closeAll == sets.front().first.closeAll)) newest.push_back(name);
    return newest;
}

std::vector<std::wstring> ClosedSetsToPrune(const std::vector<std::wstring>& names, std::size_t kept) {
    const std::vector<std::wstring> restorable = NewestClosedSets(names);
    std::vector<std::wstring> pruned;
    const auto sets = ByAge(names);
    for (std::size_t i = kept; i < sets.size(); ++i)
        if (std::find(restorable.begin(), restorable.end(), sets[i].second) == restorable.end()) pruned.push_back(sets[i].second);
    return pruned;
}

}  // namespace velvane
