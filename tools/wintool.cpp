// Test helper for driving the program from outside, under Wine (scripts/run.sh starts it too):
//   wintool launch          starts the command line in VELVANE_CMDLINE exactly as written (Wine
//                           would re-quote arguments), prints its process id, exits with its code
//   wintool list CLASS      one line per top-level window of the class ("*": all), front first:
//                           hwnd pid left top right bottom visible topmost exstyle index foreground
//   wintool close HWND      posts WM_CLOSE to the window

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"launch") {
        wchar_t commandLine[32768];
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!GetEnvironmentVariableW(L"VELVANE_CMDLINE", commandLine, 32768) ||
            !CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 2;
        std::printf("%lu\n", process.dwProcessId);
        std::fflush(stdout);
        DWORD code = 0;
        WaitForSingleObject(process.hProcess, INFINITE);
        return GetExitCodeProcess(process.hProcess, &code), static_cast<int>(code);
    }
    if (verb == L"close" && argc > 2)
        return PostMessageW(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[2], nullptr, 10))), WM_CLOSE, 0, 0) ? 0 : 1;
    if (verb != L"list" || argc < 3) return 2;
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++index) {
        wchar_t name[256] = L"";
        DWORD pid = 0;
        RECT r{};
        if (!GetClassNameW(w, name, 256) || (std::wcscmp(argv[2], L"*") != 0 && std::wcscmp(name, argv[2]) != 0)) continue;
        GetWindowThreadProcessId(w, &pid);
        GetWindowRect(w, &r);
        std::printf("%lld %lu %ld %ld %ld %ld %d %d %ld %d %d\n", static_cast<long long>(reinterpret_cast<INT_PTR>(w)), pid, r.left, r.top,
                    r.right, r.bottom, IsWindowVisible(w) ? 1 : 0, (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
                    GetWindowLongW(w, GWL_EXSTYLE), index, GetForegroundWindow() == w ? 1 : 0);
    }
    return 0;
}
