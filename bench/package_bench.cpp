// Benchmark helper: builds a self-contained copy of a program file carrying one image,
// N times, and prints the milliseconds of each build. The last copy is kept.
//   package_bench.exe N program.exe image.png out.exe

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "package/SingleExe.h"
#include "startup/CommandLine.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

int wmain(int argc, wchar_t** argv) {
    using namespace velvane;
    if (argc < 5) return 2;
    const int runs = _wtoi(argv[1]);
    mMain::OpenLogo(argv[3], false, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    if (FrmLogo::Loaded().empty()) return 3;
    for (int i = 0; i < runs; ++i) {
        DeleteFileW(argv[4]);
        const auto start = std::chrono::steady_clock::now();
        const bool built = mMain::WriteSelfContainedCopy(nullptr, true, [] { return 6; }, argv[4], argv[2]);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s %.1f\n", built ? "built" : "failed", ms);
        std::fflush(stdout);
    }
    mMain::UnloadEveryWindow();
    return 0;
}
