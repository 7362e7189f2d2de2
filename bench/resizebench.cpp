// Benchmark helper: with a logo window's popup menu open on a Size item, waits for the
// menu to close (the item has been chosen) and prints the milliseconds from then until
// the window has the given size and answers messages again (its new picture is pushed).
//   resizebench.exe WIDTH HEIGHT

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const int width = _wtoi(argv[1]), height = _wtoi(argv[2]);
    HWND logo = FindWindowW(L"Velvane.FrmLogo", nullptr);
    if (!logo) return 3;
    HWND menu = FindWindowW(L"#32768", nullptr);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    while (menu && IsWindowVisible(menu)) Sleep(0);
    QueryPerformanceCounter(&start);
    for (;;) {
        RECT r{};
        GetWindowRect(logo, &r);
        QueryPerformanceCounter(&end);
        if (end.QuadPart - start.QuadPart > 60 * frequency.QuadPart) return 4;
        if (r.right - r.left == width && r.bottom - r.top == height) break;
        Sleep(1);
    }
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(logo, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
    QueryPerformanceCounter(&end);
    std::printf("%.1f\n", 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
