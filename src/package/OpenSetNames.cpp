#include "package/OpenSetNames.h"

#include <cwchar>

namespace velvane {
namespace {

constexpr const wchar_t* kExtension = L".velvane";

std::wstring Hex(std::uint64_t value, int digits) {
    std::wstring text(digits, L'0');
    for (int i = digits; i-- > 0; value >>= 4) text[i] = L"0123456789ABCDEF"[value & 15];
    return text;
}

std::optional<std::uint64_t> ReadHex(const std::wstring& text) {
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        const wchar_t* at = std::wcschr(L"0123456789ABCDEF", c);
        if (!at || c == 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(at - L"0123456789ABCDEF");
    }
    return value;
}

}  // namespace

std::wstring OpenSetName(const OpenSetOwner& owner) { return Hex(owner.processId, 8) + L"-" + Hex(owner.startTime, 16) + kExtension; }

std::optional<OpenSetOwner> OpenSetOwnerOf(const std::wstring& name) {
    if (name.size() != 8 + 1 + 16 + std::wcslen(kExtension) || name[8] != L'-' || name.compare(25, std::wstring::npos, kExtension) != 0)
        return std::nullopt;
    const auto id = ReadHex(name.substr(0, 8)), start = ReadHex(name.substr(9, 16));
    if (!id || !start) return std::nullopt;
    return OpenSetOwner{static_cast<std::uint32_t>(*id), *start};
}

std::wstring ClosedSetName(std::uint64_t retiredAt, std::uint32_t processId) {
    return Hex(retiredAt, 16) + L"-" + Hex(processId, 8) + kExtension;
}

}  // namespace velvane
