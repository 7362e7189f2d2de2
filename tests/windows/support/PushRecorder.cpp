#include "support/PushRecorder.h"

namespace velvane::testing {
namespace {

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
PushRecorder* g_recorder = nullptr;
UpdateLayeredWindowFn g_real = nullptr;

BOOL WINAPI RecordingUpdateLayeredWindow(HWND hwnd, HDC dst, POINT* at, SIZE* size, HDC src, POINT* from,
                                         COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
    if (g_recorder)
        g_recorder->pushes.push_back({hwnd, blend ? blend->SourceConstantAlpha : -1, size ? *size : SIZE{},
                                      std::chrono::steady_clock::now()});
    const BOOL result = g_real(hwnd, dst, at, size, src, from, key, blend, flags);
    if (g_recorder && g_recorder->afterPush) g_recorder->afterPush(hwnd);
    return result;
}

}  // namespace

PushRecorder::PushRecorder()
    : hook_(std::make_unique<ImportHook>("user32.dll", "UpdateLayeredWindow",
                                         reinterpret_cast<void*>(&RecordingUpdateLayeredWindow))) {
    g_real = reinterpret_cast<UpdateLayeredWindowFn>(hook_->original());
    g_recorder = this;
}

PushRecorder::~PushRecorder() {
    g_recorder = nullptr;
    hook_.reset();
}

std::vector<int> PushRecorder::Alphas() const {
    std::vector<int> alphas;
    for (const Push& p : pushes) alphas.push_back(p.alpha);
    return alphas;
}

}  // namespace velvane::testing
