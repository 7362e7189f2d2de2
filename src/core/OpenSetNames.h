#pragma once
// The names of the pin sets each running copy keeps of its windows: the copy's process id
// and start time, so a later copy can tell a set whose copy still runs from one left by a
// crash, even when Windows has given the id to another process since. Sets retired when a
// copy ends are numbered in the order they were retired (never by the clock, which can be
// set back), with the close-all that ended them when one did.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velvane {

struct OpenSetOwner {
    std::uint32_t processId;
    std::uint64_t startTime;  // the process's creation time, as Windows counts it
    bool operator==(const OpenSetOwner& other) const { return processId == other.processId && startTime == other.startTime; }
};

std::wstring OpenSetName(const OpenSetOwner& owner);

// The owner a name stands for; empty for any other file name.
std::optional<OpenSetOwner> OpenSetOwnerOf(const std::wstring& name);

// A set taken by a restore is renamed to name its claimer, so that a restore that dies
// leaves a claim the next one can tell from a live one.
std::wstring ClaimName(const std::wstring& set, const OpenSetOwner& claimer);
struct Claim {
    std::wstring set;  // the name the set had
    OpenSetOwner claimer;
};
// Claims an earlier version made ("<set>.<process id in decimal>.restoring") name no start
// time: they read as claims of a copy that no longer runs.
std::optional<Claim> ClaimOf(const std::wstring& name);
// The set a file belongs to: the set a claim was, else the name itself.
std::wstring SetOf(const std::wstring& name);

// Windows a restore could not open wait in sets named for no running copy (process id 0),
// numbered one above every such set among these names (claimed ones too), so that two never
// share a name.
std::wstring KeptSetName(const std::vector<std::wstring>& names);

struct ClosedSet {
    std::uint64_t number;  // one above every set retired before it
    std::uint32_t processId;
    std::uint32_t closeAll;  // the close-all that ended the copy; 0 for none
};

// "<number, 16 hexadecimal digits>-<process id>-<close-all>.velvane"; sets retired by
// earlier versions read as "<time>-<process id>.velvane", with no close-all.
std::wstring ClosedSetName(const ClosedSet& set);
std::optional<ClosedSet> ClosedSetOf(const std::wstring& name);

// The number the next retired set takes, among these names.
std::uint64_t NextClosedNumber(const std::vector<std::wstring>& names);

// What restore brings back: the newest set, with every set the same close-all retired.
std::vector<std::wstring> NewestClosedSets(const std::vector<std::wstring>& names);

// What goes when a set is retired: all but the kept newest, never one restore would take.
std::vector<std::wstring> ClosedSetsToPrune(const std::vector<std::wstring>& names, std::size_t kept);

}  // namespace velvane
