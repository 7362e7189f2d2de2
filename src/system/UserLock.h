#pragma once
// A lock this user's copies of the program share, one per name and settings section, held while
// alive. A copy that hangs while holding it stops the others for a while only: past the wait,
// they go on without it.

#include "common/Scoped.h"

#include <string>

namespace velvane::mMain {

class UserLock {
public:
    UserLock(const wchar_t* name, DWORD waitMs);
    ~UserLock();
    UserLock(const UserLock&) = delete;
    UserLock& operator=(const UserLock&) = delete;

private:
    ScopedHandle mutex_;
    bool owned_ = false;
};

}  // namespace velvane::mMain
