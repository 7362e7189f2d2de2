// Benchmark helper: draws a pen stroke on the logo window as the pointer would, and prints the
// milliseconds each pointer move takes to be handled (the stroke drawn and the window pushed),
// one line per move. The window must be the only one; editing starts and ends here.
//   strokebench.exe MOVES

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const int moves = _wtoi(argv[1]);
    HWND logo = FindWindowW(L"Velvane.FrmLogo", nullptr);
    if (!logo || moves < 1) return 3;
    DWORD_PTR answer = 0;
    const auto send = [&](UINT message, WPARAM w, LPARAM l) { SendMessageTimeoutW(logo, message, w, l, SMTO_NORMAL, 60000, &answer); };
    send(WM_CHAR, L' ', 0);  // editing starts, with the pen
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 1; i <= moves; ++i) {
        // A loose zigzag across the picture, a few pixels a move as a hand goes.
        const int x = 100 + 4 * i, y = 100 + (i % 40) * 5;
        QueryPerformanceCounter(&start);
        send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        QueryPerformanceCounter(&end);
        std::printf("%.2f\n", 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    send(WM_LBUTTONUP, 0, MAKELPARAM(100 + 4 * moves, 100));
    send(WM_CHAR, L'\r', 0);  // editing ends
    return 0;
}
