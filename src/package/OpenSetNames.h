#pragma once
// The names of the pin sets each running copy keeps of its windows: the copy's process id
// and start time, so a later copy can tell a set whose copy still runs from one left by a
// crash, even when Windows has given the id to another process since. Sets retired by the
// user's ending a copy are named by the time they were retired, so names sort by age.

#include <cstdint>
#include <optional>
#include <string>

namespace velvane {

struct OpenSetOwner {
    std::uint32_t processId;
    std::uint64_t startTime;  // the process's creation time, as Windows counts it
    bool operator==(const OpenSetOwner& other) const { return processId == other.processId && startTime == other.startTime; }
};

std::wstring OpenSetName(const OpenSetOwner& owner);

// The owner a name stands for; empty for any other file name.
std::optional<OpenSetOwner> OpenSetOwnerOf(const std::wstring& name);

// "<retired, 16 hexadecimal digits>-<process id>.velvane"
std::wstring ClosedSetName(std::uint64_t retiredAt, std::uint32_t processId);

}  // namespace velvane
