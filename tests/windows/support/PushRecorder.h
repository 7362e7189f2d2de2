#pragma once
// Records every picture pushed to a layered window (UpdateLayeredWindow) while alive,
// by swapping this executable's import of it; the pushes still happen.

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "support/ImportHook.h"

namespace velvane::testing {

struct Push {
    HWND window;
    int alpha;
    SIZE size;
    std::chrono::steady_clock::time_point at;
};

class PushRecorder {
public:
    PushRecorder();
    ~PushRecorder();
    PushRecorder(const PushRecorder&) = delete;
    PushRecorder& operator=(const PushRecorder&) = delete;

    bool installed() const { return hook_ && hook_->installed(); }
    std::vector<Push> pushes;
    std::vector<int> Alphas() const;
    // Runs after each push, for tests that act in the middle of a fade.
    std::function<void(HWND)> afterPush;

private:
    std::unique_ptr<ImportHook> hook_;
};

}  // namespace velvane::testing
