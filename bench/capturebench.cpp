// Benchmark: the median time to take the whole screen into a bitmap, as Pin from Screen does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "system/ScreenShot.h"

int main(int argc, char** argv) {
    SetProcessDPIAware();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto shot = velvane::capture::ScreenShot::Take();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!shot) return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.0f\n", ms[ms.size() / 2]);
    return 0;
}
