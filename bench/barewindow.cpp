// Benchmark yardstick: the start of a bare Win32 program that shows one plain window over
// the whole screen, then ends by itself a second later.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"BareWindow";
    RegisterClassW(&wc);
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, L"BareWindow", L"", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetTimer(nullptr, 0, 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageW(&msg);
    return 0;
}
