// Benchmark helper: the renderer alone. For each PNG path given, N times: measure the
// image (PNGFileSize) and draw it into a fresh hidden window (MakeTrans, no fade).
// Prints one line per job: path, milliseconds.
//   render_bench.exe N file.png [file.png ...]

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "render/LayeredPNGWindow.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

int wmain(int argc, wchar_t** argv) {
    using Clock = std::chrono::steady_clock;
    const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    for (int a = 2; a < argc; ++a) {
        for (int i = 0; i < runs; ++i) {
            velvane::FrmLogo* window = velvane::FrmLogo::Load();
            const auto start = Clock::now();
            {
                velvane::LayeredPNGWindow renderer;
                std::int32_t w = 0, h = 0;
                renderer.PNGFileSize(argv[a], w, h);
                renderer.MakeTrans(argv[a], *window, 255, 1.0f, false);
            }
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            std::printf("%ls %.1f\n", argv[a], ms);
            std::fflush(stdout);
            window->Unload();
        }
    }
    return 0;
}
