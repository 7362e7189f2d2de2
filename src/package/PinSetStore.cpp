#include "package/PinSetStore.h"

#include "common/Scoped.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "package/EmbeddedPackage.h"
#include "package/OpenSetNames.h"
#include "package/PinSetFiles.h"
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
    if (!MoveSet(path, claimed)) return std::nullopt;
    const std::size_t before = FrmLogo::Loaded().size();
    const auto contents = ReadSetWithSettings(claimed);
    if (contents && OpenPackageContents(*contents, DontDragActive, DontLoadEffect) && FrmLogo::Loaded().size() > before) return claimed;
    MoveSet(claimed, path);
    return std::nullopt;
}

HWND Saver();

// False when there was nothing to post the job with.
bool PostSave() {
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    SaveJob job{OwnPinSetPath(), std::nullopt, {}};
    if (job.path.empty()) return false;
    try {
        job.settings = PackSettings(nullptr, IDYES, job.images);
    } catch (const std::exception&) {
        return false;
    }
    PostPinSet(std::move(job));
    return true;
}

LRESULT CALLBACK SaverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSaveTimer) {
        PostSave();
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

}  // namespace

std::wstring OwnPinSetPath() {
    const auto folder = Folder(L"Open");
    return folder ? *folder + OpenSetName(Self()) : std::wstring();
}

void PinsChanged() {
    if (Saver()) SetTimer(Saver(), kSaveTimer, kSaveDelayMs, nullptr);
}

bool SavePinsNow() {
    const bool posted = PostSave();
    return FlushPinSets() && posted;
}

void RetirePins() {
    if (sessionEnding) return;
    SavePinsNow();  // with the changes of the last second, the closing window's too
    const std::wstring own = OwnPinSetPath();
    const auto closed = Folder(L"Closed");
    if (own.empty() || !closed) return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    MoveSet(own, *closed + ClosedSetName(Ticks(now), GetCurrentProcessId()));
    const std::vector<std::wstring> kept = SetsIn(*closed);
    for (std::size_t i = 0; i + kClosedKept < kept.size(); ++i) DeleteSet(*closed + kept[i]);
}

bool RestorePins(bool DontDragActive, bool DontLoadEffect) {
    std::vector<std::pair<std::wstring, std::wstring>> taken;  // where each set was, where it is now
    const auto take = [&](const std::wstring& path) {
        const auto claimed = ClaimAndOpen(path, DontDragActive, DontLoadEffect);
        if (claimed) taken.emplace_back(path, *claimed);
    };
    if (const auto open = Folder(L"Open")) {
        for (const std::wstring& name : SetsIn(*open)) {
            const auto owner = OpenSetOwnerOf(name);
            if (owner && !(*owner == Self()) && !StillRuns(*owner)) take(*open + name);
        }
    }
    if (const auto closed = Folder(L"Closed"); taken.empty() && closed) {
        const std::vector<std::wstring> sets = SetsIn(*closed);
        for (auto name = sets.rbegin(); name != sets.rend() && taken.empty(); ++name) take(*closed + *name);
    }
    if (taken.empty()) return false;
    // Taken over: this copy's own set holds them from now on; until it does, the sets stay.
    const bool kept = SavePinsNow();
    for (const auto& [was, now] : taken) {
        if (kept) DeleteSet(now);
        else MoveSet(now, was);
    }
    return true;
}

}  // namespace velvane::mMain
