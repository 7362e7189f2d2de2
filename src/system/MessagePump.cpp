#include "system/MessagePump.h"

#include "common/Scoped.h"

namespace velvane {

void DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to swallow: hand it on to the loop that waits for it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void RunMessageLoop(const std::function<bool()>& goOn) {
    MSG msg;
    while (goOn()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WakeMessageLoop() { PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0); }

}  // namespace velvane
