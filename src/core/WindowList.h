#pragma once
// The list of open logo windows that every running copy shares: "Count" and the keys
// "1" to Count, each a window handle as decimal text, oldest first. Portable: the store
// behind it is the caller's (the registry in the program, a map in tests).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velvane {

class WindowListStore {
public:
    virtual ~WindowListStore() = default;
    virtual std::optional<std::wstring> Read(const std::wstring& key) = 0;
    virtual void Write(const std::wstring& key, const std::wstring& value) = 0;
    virtual void Delete(const std::wstring& key) = 0;
};

// Appends (add) or removes a handle, every entry of it (an added one that is already
// listed moves to the end, so a handle is listed once); 0 is ignored. Entries that name no
// window (0, no number, missing below "Count", or, when adding, failing namesWindow) go,
// so a damaged list is repaired, never filled. False when the list is full.
bool UpdateWindowList(WindowListStore& store, std::int32_t handle, bool add,
                      const std::function<bool(std::int32_t)>& namesWindow = {});

// Takes the handles off the head of the list, oldest first, and hands each to close
// (which asks it to close, or passes over a handle that is no window of the program), each
// value once. Every entry ends up off the list, whatever it holds, but those close could
// not reach (it answers false), which are listed again. False when the list could not be
// written, which ends it early rather than asking the same window again and again.
bool CloseAllListed(WindowListStore& store, const std::function<bool(std::int32_t)>& close);

// The handles listed, oldest first, without taking them off; entries that are no number
// are passed over (a damaged "Count" is repaired as above).
std::vector<std::int32_t> ListedWindows(WindowListStore& store);

}  // namespace velvane
