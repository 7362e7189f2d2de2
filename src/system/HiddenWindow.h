#pragma once
// A hidden top-level window of its own class: what takes a copy's timers, hotkey,
// notification icon and the end of the session, whatever image windows come and go.

#include "common/Scoped.h"

namespace velvane {

inline HWND MakeHiddenWindow(const wchar_t* className, WNDPROC procedure, const wchar_t* title = L"") {
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace velvane
