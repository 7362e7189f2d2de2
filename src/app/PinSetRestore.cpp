// Restoring pin sets: claiming the sets of copies that no longer run (or the newest closed
// ones), opening them, and keeping what did not open for a later restore.

#include "app/PinSetStore.h"

#include "common/Scoped.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "app/EmbeddedPackage.h"
#include "app/PinSetFiles.h"
#include "app/PinSetFolders.h"
#include "core/OpenSetNames.h"
#include "system/RunningCopies.h"

namespace velvane::mMain {
namespace {

// Whether the set a leftover file belongs to is one no running copy writes or restores.
bool Abandoned(const std::wstring& set) {
    if (const auto owner = OpenSetOwnerOf(set)) return !StillRuns(*owner);
    if (const auto claim = ClaimOf(set)) return !StillRuns(claim->claimer);
    return ClosedSetOf(set).has_value();
}

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
    const std::wstring claimed = folder + ClaimName(SetOf(name), ThisCopy());
    if (!MoveSet(folder + name, claimed)) return std::nullopt;
    return claimed;
}

// The windows of a set that did not open are kept in a set of their own in Open\, named
// for no running copy, so that a later restore tries them again. A name another restore
// took meanwhile is passed over: kept sets never overwrite each other.
bool KeepForLater(const StoredPackage& set, const std::vector<int>& notOpened) {
    if (notOpened.empty()) return true;
    const auto open = PinSetFolder(L"Open");
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
std::optional<Taken> OpenClaimed(const std::wstring& claimed, const std::wstring& original, bool DontDragActive) {
    std::optional<StoredPackage> set = ReadSetWithSettings(claimed);
    std::vector<int> failed, opened;
    // Brought back as they were, at once: a fade for each of many pins would have them come one by one.
    if (set) OpenPackage(*set, DontDragActive, /*DontLoadEffect*/ true, &failed, &opened);
    if (!set || opened.empty()) {
        MoveSet(claimed, original);
        return std::nullopt;
    }
    return Taken{claimed, original, std::move(*set), std::move(failed)};
}

}  // namespace

// Keeps what restores could not open, now that this copy's own set holds what they did open;
// the claimed set goes once all of it is kept somewhere.
void KeepWhatRestoresDidNotOpen() {
    std::vector<Taken> due;
    due.swap(keepsDue);
    for (Taken& set : due) {
        if (KeepForLater(set.set, set.notOpened)) DeleteSet(set.claimed);
        else keepsDue.push_back(std::move(set));
    }
    if (!keepsDue.empty()) KeepAgainSoon();
}

bool RestorePins(bool DontDragActive, bool openSetsOnly) {
    const SavesHeld once;  // what opens is written with the rest, below
    std::vector<Taken> taken;
    bool claimedElsewhere = false;
    // Takes every set of the folder that passes the test: opened, or given back.
    const auto take = [&](const std::wstring& folder, const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            const auto claimed = Claim(folder, name);
            if (!claimed) continue;
            if (auto opened = OpenClaimed(*claimed, folder + SetOf(name), DontDragActive)) taken.push_back(std::move(*opened));
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
            if (claim && claim->claimer == ThisCopy()) continue;
            if (claim && StillRuns(claim->claimer)) claimedElsewhere = true;
            else if ((owner && !StillRuns(*owner)) || claim) names.push_back(name);
        }
        return names;
    };
    if (const auto open = PinSetFolder(L"Open")) take(*open, free(*open));
    if (const auto closed = PinSetFolder(L"Closed"); taken.empty() && !openSetsOnly && closed) {
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
    KeepWhatRestoresDidNotOpen();
    return true;
}

}  // namespace velvane::mMain
