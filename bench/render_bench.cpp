// Benchmark helper: the renderer alone. N times: measure the image (PNGFileSize, which
// decodes it) and draw it at a factor into a fresh hidden window (MakeTrans, no fade).
// Then, as the yardstick of the window system's own share, one push of a bitmap of the
// same size that nobody drew. Prints one line per job, in milliseconds and megabytes:
//   total decode draw-and-push bare-push peak-after-decode peak-at-end
//   render_bench.exe N file.png [factor]

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "image/LayeredPNGWindow.h"
#include "app/CopyHost.h"
#include "pin/FrmLogo.h"
#include "app/LogoWindows.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return memory.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// One UpdateLayeredWindow of an untouched bitmap of the window's size.
double BarePush(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right - r.left, -(r.bottom - r.top), 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SIZE size{r.right - r.left, r.bottom - r.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const auto start = Clock::now();
    UpdateLayeredWindow(window, screen, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
    const double ms = Ms(Clock::now() - start);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    if (argc < 3) return 2;
    const float factor = argc > 3 ? static_cast<float>(_wtof(argv[3])) : 1.0f;
    for (int i = 0; i < runs; ++i) {
        velvane::FrmLogo* window = velvane::FrmLogo::Load(velvane::mMain::CopyHost());
        const auto start = Clock::now();
        auto decoded = start;
        double peakDecoded = 0;
        {
            velvane::LayeredPNGWindow renderer;
            std::int32_t w = 0, h = 0;
            renderer.PNGFileSize(argv[2], w, h);
            decoded = Clock::now();
            peakDecoded = PeakMegabytes();
            renderer.MakeTrans(argv[2], window->Target(), 255, factor, false);
        }
        const auto end = Clock::now();
        const double bare = BarePush(window->hWnd());
        std::printf("%.1f %.1f %.1f %.1f %.1f %.1f\n", Ms(end - start), Ms(decoded - start), Ms(end - decoded), bare,
                    peakDecoded, PeakMegabytes());
        std::fflush(stdout);
        window->Unload();
    }
    return 0;
}
