#pragma once
// Text values under HKEY_CURRENT_USER\Software\Velvane\<section>: the list of open windows and
// the user's settings. The key is made only when something is written: a clean profile that only
// reads is left without one.

#include "common/Scoped.h"

#include "core/WindowList.h"

namespace velvane::mMain {

class RegistryStore : public WindowListStore {
public:
    // Throws when the key is there but cannot be opened.
    RegistryStore();

    // A number stored as a DWORD reads as its decimal text; a value of another kind as "?".
    std::optional<std::wstring> Read(const std::wstring& name) override;
    // Throws when the key cannot be made.
    void Write(const std::wstring& name, const std::wstring& value) override;
    void Delete(const std::wstring& name) override;

private:
    ScopedRegKey key_;
};

}  // namespace velvane::mMain
