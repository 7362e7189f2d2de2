#include "package/PinSetStore.h"

#include "common/Scoped.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "package/EmbeddedPackage.h"
#include "package/OpenSetNames.h"
#include "package/SingleExe.h"
#include "windows/FrmLogo.h"
#include "windows/HiddenWindow.h"

namespace velvane::mMain {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr UINT kSaveDelayMs = 1000;
constexpr std::size_t kClosedKept = 10;

// Once Windows ends the session, closing windows is not the user ending the copy.
bool sessionEnding = false;

std::uint64_t Ticks(const FILETIME& time) { return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

std::optional<std::uint64_t> StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return Ticks(created);
}

OpenSetOwner Self() { return {GetCurrentProcessId(), StartTime(GetCurrentProcess()).value_or(0)}; }

bool StillRuns(const OpenSetOwner& owner) {
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    DWORD code = 0;
    return process && GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE && StartTime(process.get()) == owner.startTime;
}

// %LOCALAPPDATA%\Velvane\<leaf>\, made when missing; empty when it cannot be had.
std::optional<std::wstring> Folder(const wchar_t* leaf) {
    wchar_t* local = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) return std::nullopt;
    std::wstring path = std::wstring(local) + L"\\Velvane\\";
    CoTaskMemFree(local);
    CreateDirectoryW(path.c_str(), nullptr);
    path += leaf;
    path += L"\\";
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return path;
}

std::vector<std::wstring> SetsIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*.velvane").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Claims a set by renaming it (one rename wins when two copies restore at once), opens it,
// and gives it back untouched when it cannot be read. The claimed file, once opened.
std::optional<std::wstring> ClaimAndOpen(const std::wstring& path, bool DontDragActive, bool DontLoadEffect) {
    const std::wstring claimed = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".restoring";
    if (!MoveFileW(path.c_str(), claimed.c_str())) return std::nullopt;
    const std::size_t before = FrmLogo::Loaded().size();
    if (OpenPinSet(claimed, DontDragActive, DontLoadEffect) && FrmLogo::Loaded().size() > before) return claimed;
    MoveFileW(claimed.c_str(), path.c_str());
    return std::nullopt;
}

LRESULT CALLBACK SaverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSaveTimer) {
        SavePinsNow();
        return 0;
    }
    if (message == WM_ENDSESSION && wParam) {
        sessionEnding = true;
        SavePinsNow();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A hidden top-level window: it gets the timer, and the end of the session.
HWND Saver() {
    static HWND saver = MakeHiddenWindow(L"Velvane.PinSetSaver", SaverProc);
    return saver;
}

bool AnyImageWindow() {
    return std::any_of(FrmLogo::Loaded().begin(), FrmLogo::Loaded().end(), [](const FrmLogo* w) { return !w->AboutMode(); });
}

}  // namespace

std::wstring OwnPinSetPath() {
    const auto folder = Folder(L"Open");
    return folder ? *folder + OpenSetName(Self()) : std::wstring();
}

void PinsChanged() {
    if (Saver()) SetTimer(Saver(), kSaveTimer, kSaveDelayMs, nullptr);
}

void SavePinsNow() {
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    const std::wstring own = OwnPinSetPath();
    if (own.empty()) return;
    if (!AnyImageWindow()) DeleteFileW(own.c_str());
    else WritePinSet(own);  // written beside and moved over: a crash midway leaves the last set
}

void RetirePins() {
    if (sessionEnding) return;
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    const std::wstring own = OwnPinSetPath();
    const auto closed = Folder(L"Closed");
    if (own.empty() || !closed) return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    if (!MoveFileExW(own.c_str(), (*closed + ClosedSetName(Ticks(now), GetCurrentProcessId())).c_str(), MOVEFILE_COPY_ALLOWED))
        return;
    const std::vector<std::wstring> kept = SetsIn(*closed);
    for (std::size_t i = 0; i + kClosedKept < kept.size(); ++i) DeleteFileW((*closed + kept[i]).c_str());
}

bool RestorePins(bool DontDragActive, bool DontLoadEffect) {
    std::vector<std::wstring> taken;
    if (const auto open = Folder(L"Open")) {
        for (const std::wstring& name : SetsIn(*open)) {
            const auto owner = OpenSetOwnerOf(name);
            if (!owner || *owner == Self() || StillRuns(*owner)) continue;
            if (const auto claimed = ClaimAndOpen(*open + name, DontDragActive, DontLoadEffect)) taken.push_back(*claimed);
        }
    }
    if (const auto closed = Folder(L"Closed"); taken.empty() && closed) {
        const std::vector<std::wstring> sets = SetsIn(*closed);
        for (auto name = sets.rbegin(); name != sets.rend() && taken.empty(); ++name)
            if (const auto claimed = ClaimAndOpen(*closed + *name, DontDragActive, DontLoadEffect)) taken.push_back(*claimed);
    }
    if (taken.empty()) return false;
    // Taken over: this copy's own set holds them from now on.
    SavePinsNow();
    for (const std::wstring& file : taken) DeleteFileW(file.c_str());
    return true;
}

}  // namespace velvane::mMain
