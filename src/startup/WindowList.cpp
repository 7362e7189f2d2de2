#include "startup/WindowList.h"

#include "startup/NumberReading.h"

namespace velvane {
namespace {

constexpr std::int16_t kMaxEntries = 32767;

std::wstring Key(int position) { return std::to_wstring(position); }

std::wstring ReadOrZero(WindowListStore& store, const std::wstring& key) { return store.Read(key).value_or(L"0"); }

// "Count" as the list says it, or, when it is no usable number (text, out of range,
// negative), as many entries as stand from "1" on without a gap, written back. A list
// damaged from outside thus keeps the windows' entries instead of failing every window.
int EntryCount(WindowListStore& store) {
    const std::optional<double> stated = ReadWholeNumber(ReadOrZero(store, L"Count"));
    const std::optional<std::int16_t> count = stated ? ToInt16(*stated) : std::nullopt;
    if (count && *count >= 0) return *count;
    int present = 0;
    while (present < kMaxEntries && store.Read(Key(present + 1))) ++present;
    store.Write(L"Count", std::to_wstring(present));
    return present;
}

// Closes the gap at a position: the entries after it move down one, rewritten as plain
// integers, and the last key goes.
void RemoveAt(WindowListStore& store, int position, int count) {
    for (int j = position + 1; j <= count; ++j) {
        const auto moved = ToInt32(ReadNumber(ReadOrZero(store, Key(j))).value_or(0));
        store.Write(Key(j - 1), std::to_wstring(moved.value_or(0)));
    }
    store.Delete(Key(count));
    store.Write(L"Count", std::to_wstring(count - 1));
}

}  // namespace

bool UpdateWindowList(WindowListStore& store, std::int32_t handle, bool add) {
    if (handle == 0) return true;
    const int count = EntryCount(store);
    if (add) {
        if (count >= kMaxEntries) return false;
        store.Write(L"Count", std::to_wstring(count + 1));
        store.Write(Key(count + 1), std::to_wstring(handle));
        return true;
    }
    for (int i = 1; i <= count; ++i) {
        if (ReadNumber(ReadOrZero(store, Key(i))).value_or(0) != static_cast<double>(handle)) continue;
        RemoveAt(store, i, count);
        return true;
    }
    return true;
}

void CloseAllListed(WindowListStore& store, const std::function<void(std::int32_t)>& close) {
    std::int32_t previous = 0;
    for (;;) {
        const std::optional<double> first = ReadWholeNumber(ReadOrZero(store, L"1"));
        const std::optional<std::int32_t> handle = first ? ToInt32(*first) : std::nullopt;
        if (!handle) {
            // A damaged head names no window: drop it, so it cannot block every later close-all.
            const int count = EntryCount(store);
            if (count >= 1) RemoveAt(store, 1, count);
            else store.Delete(L"1");
            previous = 0;
            continue;
        }
        if (*handle == 0) return;
        if (*handle == previous) {
            // The removal did not take it off the head: end rather than loop for ever.
            store.Write(L"1", L"0");
        } else {
            close(*handle);
            UpdateWindowList(store, *handle, false);
        }
        previous = *handle;
    }
}

std::vector<std::int32_t> ListedWindows(WindowListStore& store) {
    std::vector<std::int32_t> handles;
    for (int i = 1, count = EntryCount(store); i <= count; ++i)
        if (const auto handle = ToInt32(ReadWholeNumber(ReadOrZero(store, Key(i))).value_or(0)); handle && *handle)
            handles.push_back(*handle);
    return handles;
}

}  // namespace velvane
