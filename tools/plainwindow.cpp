// Test helper: an ordinary window of another program, white, at the place given
// (left top width height), until it is closed.

#include <windows.h>

#include <cwchar>
#include <cstdlib>

static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int wmain(int argc, wchar_t** argv) {
    int v[4] = {100, 100, 300, 200};
    for (int i = 0; i < 4 && i + 1 < argc; ++i) v[i] = std::wcstol(argv[i + 1], nullptr, 10);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"VelvaneTestPlainWindow";
    RegisterClassW(&wc);
    CreateWindowExW(0, wc.lpszClassName, L"plain", WS_POPUP | WS_VISIBLE, v[0], v[1], v[2], v[3], nullptr, nullptr,
                    wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
