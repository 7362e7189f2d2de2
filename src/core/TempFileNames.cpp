#include "core/TempFileNames.h"

#include <string_view>

namespace velvane {

namespace {

constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
constexpr std::size_t kHexDigits = 8 + 16 + 6;

void AppendHex(std::wstring& to, std::uint64_t value, int digits) {
    for (int i = digits; i-- > 0;) to.push_back(kDigits[(value >> (4 * i)) & 15]);
}

std::uint64_t Hex(const std::wstring& text, std::size_t at, std::size_t digits) {
    std::uint64_t value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value << 4 | static_cast<std::uint64_t>(std::wstring_view(kDigits).find(text[i]));
    return value;
}

}  // namespace

std::wstring TempFileLeafName(const OpenSetOwner& owner, std::uint32_t value) {
    std::wstring leaf = L"~";
    AppendHex(leaf, owner.processId, 8);
    AppendHex(leaf, owner.startTime, 16);
    AppendHex(leaf, value, 6);
    return leaf + L".tmp";
}

std::optional<OpenSetOwner> TempFileOwnerOf(const std::wstring& leaf) {
    if (leaf.size() != 1 + kHexDigits + 4 || leaf[0] != L'~' || leaf.compare(1 + kHexDigits, 4, L".tmp") != 0 ||
        leaf.find_first_not_of(kDigits, 1) != 1 + kHexDigits)
        return std::nullopt;
    return OpenSetOwner{static_cast<std::uint32_t>(Hex(leaf, 1, 8)), Hex(leaf, 9, 16)};
}

std::wstring NumberedExePath(const std::wstring& exePath, const std::function<bool(const std::wstring&)>& exists) {
    const std::wstring base = ExePathFromModulePath(exePath);
    const std::wstring stem = base.substr(0, base.size() - 4);
    for (int n = 1; n <= 32767; ++n) {
        std::wstring candidate = stem + std::to_wstring(n) + L".exe";
        if (!exists(candidate)) return candidate;
    }
    return L"";
}

std::wstring ExePathFromModulePath(const std::wstring& modulePath) {
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : modulePath.substr(0, slash);
    std::wstring name = slash == std::wstring::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return folder + L"\\" + name + L".exe";
}

}  // namespace velvane
