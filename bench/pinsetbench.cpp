// Benchmark helper: how much memory writing and restoring a pin set takes beyond what the
// process held before, for one large image pinned at a small size.
//   pinsetbench.exe IMAGE SIZEFACTOR
// Prints the image file's MB, then for the write and for the restore the most the process's
// working set and committed memory rose above where they were, sampled every millisecond.

#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <thread>

#include "core/OpenSetNames.h"
#include "app/PinSetStore.h"
#include "core/CommandLine.h"
#include "pin/FrmLogo.h"
#include "app/LogoWindows.h"
#include "system/MessagePump.h"

namespace {

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

// The most memory rose while the job ran.
template <class Job>
double Rise(Job job) {
    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    std::atomic<bool> done{false};
    SIZE_T most = 0;
    std::thread sampler([&] {
        while (!done) {
            PROCESS_MEMORY_COUNTERS now{};
            GetProcessMemoryInfo(GetCurrentProcess(), &now, sizeof now);
            most = std::max({most, now.WorkingSetSize > before.WorkingSetSize ? now.WorkingSetSize - before.WorkingSetSize : 0,
                             now.PagefileUsage > before.PagefileUsage ? now.PagefileUsage - before.PagefileUsage : 0});
            Sleep(1);
        }
    });
    job();
    Sleep(20);
    done = true;
    sampler.join();
    return Megabytes(most);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    OleInitialize(nullptr);
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExW(argv[1], GetFileExInfoStandard, &file)) return 2;
    const double fileMB = Megabytes((static_cast<SIZE_T>(file.nFileSizeHigh) << 32) | file.nFileSizeLow);
    using namespace velvane;
    mMain::OpenLogo(argv[1], false, false, false, true, CenterPos, CenterPos, 100, static_cast<float>(_wtof(argv[2])), false);
    if (FrmLogo::Loaded().size() != 1) return 3;
    DoEvents();
    bool written = false;
    const double write = Rise([&] { written = mMain::SavePinsNow(); });
    // The same set as a crashed copy's, then restored.
    const std::wstring own = mMain::OwnPinSetPath(), folder = own.substr(0, own.rfind(L'\\') + 1);
    CopyFileW(own.c_str(), (folder + OpenSetName({1, 1})).c_str(), FALSE);
    FrmLogo::Loaded()[0]->Discard(true);
    bool restored = false;
    const double restore = Rise([&] { restored = mMain::RestorePins(false); });
    std::printf("%.1f %.1f %.1f %d %d\n", fileMB, write, restore, written ? 1 : 0, restored ? 1 : 0);
    mMain::UnloadEveryWindow();
    return 0;
}
