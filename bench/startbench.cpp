// Benchmark helper: starts the command line in VELVANE_CMDLINE N times and reports, per
// run, the milliseconds from process creation until a logo window of that process is
// visible, and the process's peak working set then. Each run is ended afterwards.
//   startbench.exe N

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    bool found;
};

BOOL CALLBACK FindVisibleLogo(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (pid == search->pid && IsWindowVisible(hwnd) && std::wcscmp(name, L"Velvane.FrmLogo") == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    std::vector<wchar_t> text(32768);
    if (!GetEnvironmentVariableW(L"VELVANE_CMDLINE", text.data(), static_cast<DWORD>(text.size()))) return 2;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < runs; ++i) {
        std::vector<wchar_t> commandLine = text;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        LARGE_INTEGER start, now;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return 2;
        Search search{process.dwProcessId, false};
        double ms = -1;
        for (;;) {
            EnumWindows(FindVisibleLogo, reinterpret_cast<LPARAM>(&search));
            QueryPerformanceCounter(&now);
            const double elapsed = 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
            if (search.found) {
                ms = elapsed;
                break;
            }
            if (elapsed > 60000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
            Sleep(1);
        }
        Sleep(300);  // let the opening finish before memory is read
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
        std::printf("%.1f %.1f\n", ms, memory.PeakWorkingSetSize / (1024.0 * 1024.0));
        std::fflush(stdout);
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 0;
}
