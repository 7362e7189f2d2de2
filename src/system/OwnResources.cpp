#include "system/OwnResources.h"

#include "common/Scoped.h"

namespace velvane {

ResourceBytes FindOwnResource(const wchar_t* name, const wchar_t* type) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(self, name, type);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(self, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(self, info)};
}

}  // namespace velvane
