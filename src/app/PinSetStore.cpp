#include "app/PinSetStore.h"

#include "common/Scoped.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <vector>

#include "app/EmbeddedPackage.h"
#include "core/OpenSetNames.h"
#include "core/PackageBag.h"
#include "core/PinSet.h"
#include "app/PinSetFiles.h"
#include "system/RunningCopies.h"
#include "system/TempFiles.h"
#include "app/SingleExe.h"
#include "app/Main.h"
#include "app/Resident.h"
#include "pin/FrmLogo.h"
#include "system/HiddenWindow.h"

namespace velvane::mMain {
namespace {

constexpr UINT_PTR kSaveTimer = 1, kLivesOnTimer = 2, kKeepTimer = 3;
constexpr DWORD kSaveDelayMs = 1000, kLongestDelayMs = 5000, kLivesOnMs = 10000, kKeepRetryMs = 3000;
constexpr std::size_t kClosedKept = 10;

// Retired: the user ended the copy; its set is final. SessionEnding: Windows ends the session,
// the set stays in Open\ as it is, unless the process lives on past it.
enum class Phase { Live, Retired, SessionEnding };
Phase phase = Phase::Live;
bool Ended() { return phase != Phase::Live; }
// When the oldest change not yet written happened, while there is one.
std::optional<DWORD> unsavedSince;

OpenSetOwner Self() { return ThisCopy(); }

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

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A set kept for later (named for no copy) may be being written beside by a restore this moment.
bool KeptSetBeingWritten(const std::wstring& folder, const std::wstring& set) {
    const auto owner = OpenSetOwnerOf(SetOf(set));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) { return static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; };
    return owner && owner->processId == 0 && GetFileAttributesExW((folder + set + L".new").c_str(), GetFileExInfoStandard, &data) &&
           ticks(now) - ticks(data.ftLastWriteTime) < 60ull * 10000000;  // a minute, in 100 ns
}

// What copies that died mid-write left: a finished set written beside its old one takes
// its place, a half-written one goes. Settings whose set is not there may belong to a set
// being moved this moment (a restore claiming it, or giving it back): they follow it under
// its other name, and go only when their set is nowhere.
void FoldBackLeftovers(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder, L"*.new")) {
        const std::wstring set = name.substr(0, name.size() - 4);
        if (EndsWith(set, L".settings") || !Abandoned(set) || KeptSetBeingWritten(folder, set)) continue;
        if (ReadSetWithSettings(folder + name)) MoveFileExW((folder + name).c_str(), (folder + set).c_str(), MOVEFILE_REPLACE_EXISTING);
        else DeleteFileW((folder + name).c_str());
    }
    for (const std::wstring& name : FilesIn(folder, L"*.settings*")) {
        const std::wstring set = name.substr(0, name.find(L".settings"));
        if (!Abandoned(set)) continue;
        if (EndsWith(name, L".new")) {
            DeleteFileW((folder + name).c_str());
            continue;
        }
        if (Exists(folder + set)) continue;
        const std::vector<std::wstring> all = FilesIn(folder, L"*");  // as it is now: the set may have moved this moment
        const auto home = std::find_if(all.begin(), all.end(), [&](const std::wstring& other) {
            return other != set && other.find(L".settings") == std::wstring::npos && !EndsWith(other, L".new") && SetOf(other) == SetOf(set);
        });
        if (home == all.end()) DeleteFileW((folder + name).c_str());
        else if (!Exists(folder + *home + L".settings"))
            MoveFileExW((folder + name).c_str(), (folder + *home + L".settings").c_str(), 0);
    }
}

// This copy's claim on a set: renamed to name it (one rename wins when two copies restore
// at once); the claimed file's path.
std::optional<std::wstring> Claim(const std::wstring& folder, const std::wstring& name) {
    const std::wstring claimed = folder + ClaimName(SetOf(name), Self());
    if (!MoveSet(folder + name, claimed)) return std::nullopt;
    return claimed;
}

// The windows of a set that did not open are kept in a set of their own in Open\, named
// for no running copy, so that a later restore tries them again. A name another restore
// took meanwhile is passed over: kept sets never overwrite each other.
bool KeepForLater(const StoredPackage& set, const std::vector<int>& notOpened) {
    if (notOpened.empty()) return true;
    const auto open = Folder(L"Open");
    for (int attempt = 0; open && attempt < 100; ++attempt) {
        const std::wstring path = *open + KeptSetName(FilesIn(*open, L"*"));
        if (WriteWindowsOf(path, set, notOpened, /*replace*/ false)) return true;
        if (!Exists(path)) return false;
    }
    return false;
}

struct Taken {
    std::wstring claimed, original;
    StoredPackage set;
    std::vector<int> notOpened;  // its windows that did not open
};

// Sets whose windows all opened but those not kept yet (a write that failed): tried again,
// and held by this copy's claim until then.
std::vector<Taken> keepsDue;

// Opens a claimed set; empty, with the set given back untouched, when none of its windows opened.
std::optional<Taken> OpenClaimed(const std::wstring& claimed, const std::wstring& original, bool DontDragActive, bool DontLoadEffect) {
    std::optional<StoredPackage> set = ReadSetWithSettings(claimed);
    std::vector<int> failed, opened;
    if (set) OpenPackage(*set, DontDragActive, DontLoadEffect, &failed, &opened);
    if (!set || opened.empty()) {
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
        // A window whose file went gives the picture it shows instead.
        for (FrmLogo* window : FrmLogo::Loaded())
            if (!window->ShUnload) window->KeepPictureOfGoneFile();
        job.settings = PackSettings(nullptr, IDYES, job.images);
    } catch (const std::exception&) {
        return false;
    }
    PostPinSet(std::move(job));
    return true;
}

// Keeps what restores could not open, now that this copy's own set holds what they did open;
// the claimed set goes once all of it is kept somewhere.
void KeepDue() {
    std::vector<Taken> due;
    due.swap(keepsDue);
    for (Taken& set : due) {
        if (KeepForLater(set.set, set.notOpened)) DeleteSet(set.claimed);
        else keepsDue.push_back(std::move(set));
    }
    if (!keepsDue.empty() && Saver()) SetTimer(Saver(), kKeepTimer, kKeepRetryMs, nullptr);
}

LRESULT CALLBACK SaverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        if (wParam == kSaveTimer && !Ended()) PostSave();
        if (wParam == kKeepTimer && SavePinsNow()) KeepDue();
        else if (wParam == kKeepTimer) SetTimer(hwnd, kKeepTimer, kKeepRetryMs, nullptr);
        // Still running well after the session's end: it did not end (a restart manager's
        // close that the copy outlived), so the set follows the windows again; their last one
        // closed meanwhile, it is retired as that would have.
        if (wParam == kLivesOnTimer && phase == Phase::SessionEnding) {
            phase = Phase::Live;
            const auto& loaded = FrmLogo::Loaded();
            if (std::any_of(loaded.begin(), loaded.end(), [](const FrmLogo* w) { return !w->AboutMode() && !w->ShUnload; })) PinsChanged();
            else WindowLeaves(true, IsResident());
        }
        return 0;
    case WM_ENDSESSION:
        if (!wParam || Ended()) return 0;
        // Windows ends the copy: its set stays in Open\ for the next sign-in, as it is now.
        // Their bytes saved, this copy's temporary files would only be left behind, unless
        // the copy may outlive the request (an application closed, not the session ended).
        KeepPinsOpen();
        if (!(static_cast<DWORD>(lParam) & ENDSESSION_CLOSEAPP)) DeleteOwnTempFiles();
        SetTimer(hwnd, kLivesOnTimer, kLivesOnMs, nullptr);
        return 0;
    case WM_CLOSE: return 0;  // saving never stops while the copy runs
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
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
    if (Ended() || !Saver()) return;
    const DWORD now = GetTickCount();
    if (!unsavedSince) unsavedSince = now;
    // A steady stream of moves pushes the write back, but never past five seconds.
    const DWORD waited = now - *unsavedSince;
    SetTimer(Saver(), kSaveTimer, waited >= kLongestDelayMs ? USER_TIMER_MINIMUM : std::min(kSaveDelayMs, kLongestDelayMs - waited), nullptr);
}

void WindowLeaves(bool lastImage, bool copyGoesOn) {
    if (Ended()) return;
    if (!lastImage) {
        PinsChanged();
        return;
    }
    if (RetirePins() && copyGoesOn) StartNewPinSet();
}

void StartNewPinSet() {
    phase = Phase::Live;
    unsavedSince.reset();
}

bool SavePinsNow() {
    const bool posted = PostSave();
    return FlushPinSets() && posted;
}

void KeepPinsOpen() {
    if (Ended()) return;
    SavePinsNow();
    phase = Phase::SessionEnding;
}

bool RetirePins(std::uint32_t closeAll) {
    if (Ended()) return false;
    SavePinsNow();  // with the changes of the last second, the closing window's too
    phase = Phase::Retired;
    // A write that failed is not tried again: the set moves as it was last written whole.
    CancelPinSetWrites();
    const std::wstring own = OwnPinSetPath();
    const auto closed = Folder(L"Closed");
    if (own.empty() || !closed || !Exists(own)) return true;
    const std::vector<std::wstring> before = FilesIn(*closed, L"*.velvane");
    MoveSet(own, *closed + ClosedSetName({NextClosedNumber(before), GetCurrentProcessId(), closeAll}));
    for (const std::wstring& name : ClosedSetsToPrune(FilesIn(*closed, L"*.velvane"), kClosedKept)) DeleteSet(*closed + name);
    return true;
}

bool RestorePins(bool DontDragActive, bool DontLoadEffect, bool openSetsOnly) {
    std::vector<Taken> taken;
    bool claimedElsewhere = false;
    // Takes every set of the folder that passes the test: opened, or given back.
    const auto take = [&](const std::wstring& folder, const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            const auto claimed = Claim(folder, name);
            if (!claimed) continue;
            if (auto opened = OpenClaimed(*claimed, folder + SetOf(name), DontDragActive, DontLoadEffect)) taken.push_back(std::move(*opened));
        }
    };
    // A set is free when its copy no longer runs, or a claim on it when its claimer does not;
    // this copy's own claims wait for their windows to be kept.
    const auto free = [&](const std::wstring& folder) {
        FoldBackLeftovers(folder);
        std::vector<std::wstring> names;
        for (const std::wstring& name : FilesIn(folder, L"*")) {
            const auto owner = OpenSetOwnerOf(name);
            const auto claim = ClaimOf(name);
            if (claim && claim->claimer == Self()) continue;
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
    if (!SavePinsNow()) {
        for (const Taken& set : taken) MoveSet(set.claimed, set.original);
        return true;
    }
    keepsDue.insert(keepsDue.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
    KeepDue();
    return true;
}

std::uint32_t NewCloseAll() {
    const std::uint32_t id = GetTickCount() ^ (GetCurrentProcessId() * 2654435761u);
    return id ? id : 1;
}

}  // namespace velvane::mMain
