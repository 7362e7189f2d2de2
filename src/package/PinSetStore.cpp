#include "package/PinSetStore.h"

#include "common/Scoped.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "package/EmbeddedPackage.h"
#include "package/OpenSetNames.h"
#include "package/PackageBag.h"
#include "package/PinSet.h"
#include "package/ProgramFile.h"
#include "package/SingleExe.h"
#include "windows/FrmLogo.h"
#include "windows/HiddenWindow.h"

namespace velvane::mMain {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr UINT kSaveDelayMs = 1000;
constexpr std::size_t kClosedKept = 10;

// Settings changed since the set was written go into a small file beside it, so that
// moving a window never writes its images again. The set and its settings name the same
// write, or the settings are passed over (a crash between the two).
constexpr wchar_t kSettingsSuffix[] = L".settings";
constexpr wchar_t kSetId[] = L"setid";

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

std::optional<PackageBag> ReadSet(const std::wstring& path) try {
    const auto file = ReadFileFrom(path);
    if (!file) return std::nullopt;
    PackageBag bag;
    bag.LoadContents(ReadPinSet(file->data(), file->size()));
    return bag;
} catch (const std::exception&) {
    return std::nullopt;
}

// The set's package, with the settings written after it when they belong to it.
std::optional<std::vector<std::uint8_t>> ReadSetWithSettings(const std::wstring& path) {
    const std::optional<PackageBag> set = ReadSet(path);
    if (!set) return std::nullopt;
    std::optional<PackageBag> settings = ReadSet(path + kSettingsSuffix);
    const auto* id = set->Has(kSetId) ? std::get_if<std::wstring>(&set->ReadValue(kSetId)) : nullptr;
    if (!id || !settings || !settings->Has(kSetId) || settings->ReadValue(kSetId) != PackageValue(*id)) return set->SaveContents();
    for (const auto& [name, value] : set->Entries()) {
        const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        if (bytes && !bytes->empty() && settings->Has(name)) settings->WriteValue(name, value);
    }
    return settings->SaveContents();
}

void MoveSet(const std::wstring& from, const std::wstring& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED))
        MoveFileExW((from + kSettingsSuffix).c_str(), (to + kSettingsSuffix).c_str(), MOVEFILE_COPY_ALLOWED);
}

void DeleteSet(const std::wstring& path) {
    DeleteFileW(path.c_str());
    DeleteFileW((path + kSettingsSuffix).c_str());
}

// Claims a set by renaming it (one rename wins when two copies restore at once), opens it,
// and gives it back untouched when it cannot be read. The claimed file, once opened.
std::optional<std::wstring> ClaimAndOpen(const std::wstring& path, bool DontDragActive, bool DontLoadEffect) {
    const std::wstring claimed = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".restoring";
    if (!MoveFileW(path.c_str(), claimed.c_str())) return std::nullopt;
    MoveFileW((path + kSettingsSuffix).c_str(), (claimed + kSettingsSuffix).c_str());
    const std::size_t before = FrmLogo::Loaded().size();
    const auto contents = ReadSetWithSettings(claimed);
    if (contents && OpenPackageContents(*contents, DontDragActive, DontLoadEffect) && FrmLogo::Loaded().size() > before) return claimed;
    MoveSet(claimed, path);
    return std::nullopt;
}

// What is to be written: the windows' settings now, their image files read later.
struct SaveJob {
    std::wstring path;
    std::optional<PackageBag> settings;  // none: no image window is left
    std::vector<std::wstring> images;
};

// Writes sets on a thread of its own, so that a drag never waits for the disk; a newer
// job replaces one not yet started.
class SetWriter {
public:
    SetWriter() {
        try {
            std::thread([this] { Run(); }).detach();
            threaded_ = true;
        } catch (const std::exception&) {
            // No thread to be had: sets are written on the window thread.
        }
    }

    void Post(SaveJob job) {
        if (!threaded_) {
            lastWritten_ = Write(job);
            return;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        pending_ = std::move(job);
        wake_.notify_one();
    }

    // Returns once every job posted has been written: whether the last one was.
    bool Flush() {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [this] { return !pending_ && !busy_; });
        return lastWritten_;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return pending_.has_value(); });
            const SaveJob job = std::move(*pending_);
            pending_.reset();
            busy_ = true;
            lock.unlock();
            const bool written = Write(job);
            lock.lock();
            lastWritten_ = written;
            busy_ = false;
            idle_.notify_all();
        }
    }

    bool Write(const SaveJob& job) try {
        if (!job.settings) {
            DeleteSet(job.path);
            writtenImages_.clear();
            return true;
        }
        PackageBag bag = *job.settings;
        if (job.images == writtenImages_ && !writtenId_.empty() && GetFileAttributesW(job.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            bag.WriteValue(kSetId, writtenId_);
            return ReplaceFile(job.path + kSettingsSuffix, MakePinSet(bag.SaveContents()));
        }
        AddImages(bag, job.images);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const std::wstring id = std::to_wstring(Ticks(now));
        bag.WriteValue(kSetId, id);
        if (!ReplaceFile(job.path, MakePinSet(bag.SaveContents()))) return false;
        DeleteFileW((job.path + kSettingsSuffix).c_str());
        writtenImages_ = job.images;
        writtenId_ = id;
        return true;
    } catch (const std::exception&) {
        return false;  // an image that cannot be read, or no memory: tried again at the next change
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<SaveJob> pending_;
    bool busy_ = false, threaded_ = false, lastWritten_ = true;
    // Only the writing thread touches these: what the set on disk holds.
    std::vector<std::wstring> writtenImages_;
    std::wstring writtenId_;
};

// Lives as long as the process: its thread is never joined.
SetWriter& Writer() {
    static SetWriter* writer = new SetWriter;
    return *writer;
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
    Writer().Post(std::move(job));
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
    return Writer().Flush() && posted;
}

void RetirePins() {
    if (sessionEnding) return;
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    Writer().Flush();
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
