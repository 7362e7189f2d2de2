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

std::wstring ExePathFromModulePath(const std::wstring& modulePath) {
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : modulePath.substr(0, slash);
    std::wstring name = slash == std::wstring::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return folder + L"\\" + name + L".exe";
}

}  // namespace velvane
