// The process: start-up, then the windows' messages until the last window is gone (the
// resident copy until its Exit).

#include "common/Scoped.h"

#include <ole2.h>

#include "app/Main.h"
#include "app/NotificationIcon.h"
#include "app/Resident.h"
#include "pin/FrmLogo.h"
#include "system/MessagePump.h"

namespace {

// Drag and drop needs OLE on the one user-interface thread for the process's life.
class ScopedOle {
public:
    ScopedOle() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~ScopedOle() {
        if (ok_) OleUninitialize();
    }
    ScopedOle(const ScopedOle&) = delete;
    ScopedOle& operator=(const ScopedOle&) = delete;

private:
    bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ScopedOle ole;
    velvane::mMain::Main();
    // For as long as a pin or the about window is loaded, or the copy is resident.
    velvane::RunMessageLoop([] { return !velvane::FrmLogo::Loaded().empty() || velvane::mMain::IsResident(); });
    velvane::NotificationIcon::Remove();
    return 0;
}
