// Benchmark yardstick: Size's floor in a bare program. N times: a shown layered window holding
// a ready picture of one size is given a ready picture of another by one UpdateLayeredWindow,
// which grows or shrinks it. Prints the milliseconds of that call, one line per run.
//   barepush.exe N FROM_WIDTH FROM_HEIGHT TO_WIDTH TO_HEIGHT

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "system/TopDownBitmap.h"

namespace {

// A bitmap whose pages are all present, as a picture already drawn is.
velvane::ScopedBitmap ReadyBitmap(int width, int height) {
    void* bits = nullptr;
    velvane::ScopedBitmap bitmap = velvane::TopDownBitmap(width, height, bits);
    if (bitmap) std::memset(bits, 0x80, 4 * static_cast<std::size_t>(width) * height);
    return bitmap;
}

bool Push(HWND window, HBITMAP bitmap, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL pushed = UpdateLayeredWindow(window, screen, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pushed != FALSE;
}

void Pump(DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    MSG msg;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) return 2;
    const int runs = _wtoi(argv[1]), fromWidth = _wtoi(argv[2]), fromHeight = _wtoi(argv[3]), toWidth = _wtoi(argv[4]),
              toHeight = _wtoi(argv[5]);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"BarePush";
    RegisterClassW(&wc);
    const velvane::ScopedBitmap from = ReadyBitmap(fromWidth, fromHeight), to = ReadyBitmap(toWidth, toHeight);
    if (!from || !to) return 3;
    for (int i = 0; i < runs; ++i) {
        HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"BarePush", L"", WS_POPUP, 0, 0, fromWidth,
                                      fromHeight, nullptr, nullptr, nullptr, nullptr);
        Push(window, from.get(), fromWidth, fromHeight);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        Pump(500);
        const auto start = std::chrono::steady_clock::now();
        Push(window, to.get(), toWidth, toHeight);
        std::printf("%.1f\n", std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        std::fflush(stdout);
        Pump(200);
        DestroyWindow(window);
    }
    return 0;
}
