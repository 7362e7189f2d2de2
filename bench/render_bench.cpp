// Benchmark helper: the renderer alone. N times: measure the image (PNGFileSize, which
// decodes it) and draw it at a factor into a fresh hidden window (MakeTrans, no fade).
// Prints one line per job: total, decode and draw-and-push milliseconds.
//   render_bench.exe N file.png [factor]

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "render/LayeredPNGWindow.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

int wmain(int argc, wchar_t** argv) {
    using Clock = std::chrono::steady_clock;
    const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    if (argc < 3) return 2;
    const float factor = argc > 3 ? static_cast<float>(_wtof(argv[3])) : 1.0f;
    for (int i = 0; i < runs; ++i) {
        velvane::FrmLogo* window = velvane::FrmLogo::Load();
        const auto start = Clock::now();
        auto decoded = start;
        {
            velvane::LayeredPNGWindow renderer;
            std::int32_t w = 0, h = 0;
            renderer.PNGFileSize(argv[2], w, h);
            decoded = Clock::now();
            renderer.MakeTrans(argv[2], *window, 255, factor, false);
        }
        const auto end = Clock::now();
        auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
        std::printf("%.1f %.1f %.1f\n", ms(end - start), ms(decoded - start), ms(end - decoded));
        std::fflush(stdout);
        window->Unload();
    }
    return 0;
}
