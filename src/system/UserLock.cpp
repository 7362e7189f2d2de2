#include "system/UserLock.h"

#include "common/ProgramTexts.h"
#include "system/SettingsSection.h"

namespace velvane::mMain {

UserLock::UserLock(const wchar_t* name, DWORD waitMs) {
    wchar_t user[256] = L"";
    DWORD length = 256;
    GetUserNameW(user, &length);
    const std::wstring full = std::wstring(L"Local\\") + ProgramTitle + L"." + name + L"." + user + L"." + SettingsSection;
    mutex_.reset(CreateMutexW(nullptr, FALSE, full.c_str()));
    if (!mutex_) return;
    const DWORD waited = WaitForSingleObject(mutex_.get(), waitMs);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

UserLock::~UserLock() {
    if (owned_) ReleaseMutex(mutex_.get());
}

}  // namespace velvane::mMain
