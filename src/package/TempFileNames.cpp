#include "package/TempFileNames.h"

namespace velvane {

std::wstring TempFileLeafName(std::uint32_t value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    do {
        hex.insert(hex.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return L"~" + hex + L".tmp";
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
