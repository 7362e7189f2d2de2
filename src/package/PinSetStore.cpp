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
#include "package/PackageBag.h"
#include "package/PinSet.h"
#include "package/PinSetFiles.h"
#include "package/SingleExe.h"
#include "startup/Main.h"
#include "windows/FrmLogo.h"
#include "windows/HiddenWindow.h"

namespace velvane::mMain {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr DWORD kSaveDelayMs = 1000, kLongestDelayMs = 5000;
constexpr std::size_t kClosedKept = 10;

// Once the copy has ended (retired, or the session is ending), its set is final.
bool ended = false;
// When the oldest change not yet written happened, while there is one.
std::optional<DWORD> unsavedSince;

std::uint64_t Ticks(const FILETIME& time) { return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

std::optional<std::uint64_t> StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return Ticks(created);
}

OpenSetOwner Self() { return {GetCurrentProcessId(), StartTime(GetCurrentProcess()).value_or(0)}; }

bool StillRuns(const OpenSetOwner& owner) {
    if (owner == Self()) return true;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    DWORD code = 0;
    return process && GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE && StartTime(process.get()) == owner.startTime;
}

// %LOCALAPPDATA%\Velvane\<leaf>\ (under another settings section's own folder), made when
// missing; empty when it cannot be had.
std::optional<std::wstring> Folder(const wchar_t* leaf) {
    wchar_t* local = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) return std::nullopt;
    std::wstring path = std::wstring(local) + L"\\Velvane\\";
    CoTaskMemFree(local);
    CreateDirectoryW(path.c_str(), nullptr);
    if (OwnSettingsSection()) {
        path += SettingsSection + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    path += leaf;
    path += L"\\";
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return path;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(const std::wstring& text, const wchar_t* end) {
    const std::wstring tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Whether the set a leftover file belongs to is one no running copy writes or restores.
bool Abandoned(const std::wstring& set) {
    if (const auto owner = OpenSetOwnerOf(set)) return !StillRuns(*owner);
    if (const auto claim = ClaimOf(set)) return !StillRuns(claim->claimer);
    return ClosedSetOf(set).has_value();
}

// What copies that died mid-write left: a finished set written beside its old one takes
// its place, a half-written one goes, and settings without their set go with nothing lost.
void FoldBackLeftovers(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder, L"*.new")) {
        const std::wstring set = name.substr(0, name.size() - 4);
        if (EndsWith(set, L".settings") || !Abandoned(set)) continue;
        if (ReadSetWithSettings(folder + name)) MoveFileExW((folder + name).c_str(), (folder + set).c_str(), MOVEFILE_REPLACE_EXISTING);
        else DeleteFileW((folder + name).c_str());
    }
    for (const std::wstring& name : FilesIn(folder, L"*.settings*")) {
        const std::wstring set = name.substr(0, name.find(L".settings"));
        if (Abandoned(set) && (EndsWith(name, L".new") || GetFileAttributesW((folder + set).c_str()) == INVALID_FILE_ATTRIBUTES))
            DeleteFileW((folder + name).c_str());
    }
}

// This copy's claim on a set: renamed to name it (one rename wins when two copies restore
// at once); the claimed file's path.
std::optional<std::wstring> Claim(const std::wstring& folder, const std::wstring& name) {
    const auto earlier = ClaimOf(name);
    const std::wstring claimed = folder + ClaimName(earlier ? earlier->set : name, Self());
    if (!MoveSet(folder + name, claimed)) return std::nullopt;
    return claimed;
}

// The windows of a set that did not open are kept in a set of their own in Open\, named
// for no running copy, so that a later restore tries them again.
bool KeepForLater(const StoredPackage& set, const std::vector<int>& notOpened) {
    if (notOpened.empty()) return true;
    const auto open = Folder(L"Open");
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return open && WriteWindowsOf(*open + OpenSetName({0, Ticks(now)}), set, notOpened);
}

struct Taken {
    std::wstring claimed, original;
    StoredPackage set;
    std::vector<int> notOpened;  // its windows that did not open
};

// Opens a claimed set; empty, with the set given back untouched, when none of it opened.
std::optional<Taken> OpenClaimed(const std::wstring& claimed, const std::wstring& original, bool DontDragActive, bool DontLoadEffect) {
    const std::size_t before = FrmLogo::Loaded().size();
    std::optional<StoredPackage> set = ReadSetWithSettings(claimed);
    std::vector<int> failed;
    if (set) OpenPackage(*set, DontDragActive, DontLoadEffect, &failed);
    if (!set || FrmLogo::Loaded().size() == before) {
        MoveSet(claimed, original);
        return std::nullopt;
    }
    return Taken{claimed, original, std::move(*set), std::move(failed)};
}

HWND Saver();

// False when there was nothing to post the job with.
bool PostSave() {
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    unsavedSince.reset();
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
        if (!ended) PostSave();
        return 0;
    }
    if (message == WM_ENDSESSION && wParam) {
        // Windows ends the copy: its set stays in Open for the next sign-in, as it is now.
        if (!ended) SavePinsNow();
        ended = true;
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
    if (ended || !Saver()) return;
    const DWORD now = GetTickCount();
    if (!unsavedSince) unsavedSince = now;
    // A steady stream of moves pushes the write back, but never past five seconds.
    const DWORD waited = now - *unsavedSince;
    SetTimer(Saver(), kSaveTimer, waited >= kLongestDelayMs ? USER_TIMER_MINIMUM : std::min(kSaveDelayMs, kLongestDelayMs - waited), nullptr);
}

void WindowLeaves(bool lastImage, bool copyGoesOn) {
    if (ended) return;
    if (!lastImage) {
        PinsChanged();
        return;
    }
    RetirePins();
    if (copyGoesOn) StartNewPinSet();
}

void StartNewPinSet() {
    ended = false;
    unsavedSince.reset();
}

bool SavePinsNow() {
    const bool posted = PostSave();
    return FlushPinSets() && posted;
}

void RetirePins(std::uint32_t closeAll) {
    if (ended) return;
    SavePinsNow();  // with the changes of the last second, the closing window's too
    ended = true;
    const std::wstring own = OwnPinSetPath();
    const auto closed = Folder(L"Closed");
    if (own.empty() || !closed || GetFileAttributesW(own.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::vector<std::wstring> before = FilesIn(*closed, L"*.velvane");
    MoveSet(own, *closed + ClosedSetName({NextClosedNumber(before), GetCurrentProcessId(), closeAll}));
    for (const std::wstring& name : ClosedSetsToPrune(FilesIn(*closed, L"*.velvane"), kClosedKept)) DeleteSet(*closed + name);
}

bool RestorePins(bool DontDragActive, bool DontLoadEffect, bool openSetsOnly) {
    std::vector<Taken> taken;
    bool claimedElsewhere = false;
    // Takes every set of the folder that passes the test: opened, or given back.
    const auto take = [&](const std::wstring& folder, const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            const auto claimed = Claim(folder, name);
            if (!claimed) continue;
            const auto earlier = ClaimOf(name);
            const std::wstring original = folder + (earlier ? earlier->set : name);
            if (auto opened = OpenClaimed(*claimed, original, DontDragActive, DontLoadEffect)) taken.push_back(std::move(*opened));
        }
    };
    // A set is free when its copy no longer runs, or a claim on it when its claimer does not.
    const auto free = [&](const std::wstring& folder) {
        FoldBackLeftovers(folder);
        std::vector<std::wstring> names;
        for (const std::wstring& name : FilesIn(folder, L"*")) {
            const auto owner = OpenSetOwnerOf(name);
            const auto claim = ClaimOf(name);
            if (claim && StillRuns(claim->claimer)) claimedElsewhere = true;
            else if ((owner && !StillRuns(*owner)) || claim) names.push_back(name);
        }
        return names;
    };
    if (const auto open = Folder(L"Open")) take(*open, free(*open));
    if (const auto closed = Folder(L"Closed"); taken.empty() && !openSetsOnly && closed) {
        const std::vector<std::wstring> claims = free(*closed);
        // A closed set left claimed by a restore that died comes first, else the newest.
        const std::vector<std::wstring> names = FilesIn(*closed, L"*.velvane");
        // Another restore is bringing them back this moment: nothing more to do here.
        if (!claimedElsewhere) take(*closed, claims.empty() ? NewestClosedSets(names) : claims);
    }
    if (taken.empty()) return claimedElsewhere;
    // Taken over: this copy's own set holds them from now on; until it does, the sets stay.
    // What did not open waits in a set of its own; a set goes only once none of it is left.
    const bool kept = SavePinsNow();
    for (const Taken& set : taken) {
        if (kept && KeepForLater(set.set, set.notOpened)) DeleteSet(set.claimed);
        else if (!kept) MoveSet(set.claimed, set.original);
    }
    return true;
}

std::uint32_t NewCloseAll() {
    const std::uint32_t id = GetTickCount() ^ (GetCurrentProcessId() * 2654435761u);
    return id ? id : 1;
}

}  // namespace velvane::mMain
