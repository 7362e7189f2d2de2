// Test helper: starts a program with the exact command line text in VELVANE_CMDLINE,
// which Wine's own argument handling would otherwise re-quote. Prints the new process
// id; with --wait, waits for it and exits with its exit code.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    const bool wait = argc > 1 && std::wcscmp(argv[1], L"--wait") == 0;
    DWORD size = GetEnvironmentVariableW(L"VELVANE_CMDLINE", nullptr, 0);
    if (size == 0) {
        std::fprintf(stderr, "launch: VELVANE_CMDLINE is not set\n");
        return 2;
    }
    std::vector<wchar_t> commandLine(size);
    GetEnvironmentVariableW(L"VELVANE_CMDLINE", commandLine.data(), size);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "launch: CreateProcess failed (%lu)\n", GetLastError());
        return 2;
    }
    std::printf("%lu\n", process.dwProcessId);
    std::fflush(stdout);
    DWORD code = 0;
    if (wait) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
