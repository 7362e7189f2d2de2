// Benchmark: the resampler alone, 1920 x 1080 to 3840 x 2160 and back, median milliseconds of
// each; built natively and for Windows, so the two compilers' code can be compared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Resample.h"

namespace {

double Median(int runs, std::vector<std::uint8_t>& from, int fw, int fh, std::vector<std::uint8_t>& to, int tw, int th) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        velvane::ResamplePremultiplied({from.data(), fw, fh, 4 * fw}, {to.data(), tw, th, 4 * tw});
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<std::uint8_t> small(1920 * 1080 * 4), large(3840 * 2160 * 4);
    for (std::size_t i = 0; i < small.size(); ++i) small[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    const double up = Median(runs, small, 1920, 1080, large, 3840, 2160);
    const double down = Median(runs, large, 3840, 2160, small, 1920, 1080);
    std::printf("%.1f %.1f\n", up, down);
    return 0;
}
