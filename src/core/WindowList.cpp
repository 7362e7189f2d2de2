#include "core/WindowList.h"

#include "core/NumberReading.h"

#include <vector>

namespace velvane {
namespace {

constexpr std::int16_t kMaxEntries = 32767;

std::wstring Key(int position) { return std::to_wstring(position); }

std::wstring ReadOrZero(WindowListStore& store, const std::wstring& key) { return store.Read(key).value_or(L"0"); }

double EntryValue(WindowListStore& store, int position) { return ReadNumber(ReadOrZero(store, Key(position))).value_or(0); }

// The handle an entry names, as every reading rounds it; 0 for none.
std::int32_t NamedHandle(double value) { return ToInt32(value).value_or(0); }

// Drops the entries that drop(position, value) names, and every entry that names no
// window (missing, 0, no number), and closes the gaps: the entries after the first one
// dropped move down, rewritten as plain integers, and the keys left over go. Nothing is
// ever written as a placeholder, and nothing at all when nothing is dropped. Returns the
// new count.
template <class Drop>
int DropEntries(WindowListStore& store, int count, Drop drop) {
    int kept = 0;
    bool moving = false;
    std::vector<int> present;
    for (int i = 1; i <= count; ++i) {
        const std::optional<std::wstring> text = store.Read(Key(i));
        if (text) present.push_back(i);
        const double value = text ? ReadNumber(*text).value_or(0) : 0;
        if (NamedHandle(value) == 0 || drop(i, value)) {
            moving = true;
            continue;
        }
        ++kept;
        if (moving) store.Write(Key(kept), std::to_wstring(NamedHandle(value)));
    }
    if (!moving) return count;
    for (int i : present)
        if (i > kept) store.Delete(Key(i));
    store.Write(L"Count", std::to_wstring(kept));
    return kept;
}

int DropHead(WindowListStore& store, int count) {
    if (count >= 1) return DropEntries(store, count, [](int position, double) { return position == 1; });
    store.Delete(L"1");  // a leftover beyond a count of 0
    return 0;
}

// "Count" as the list says it, or, when it is no usable number (text, out of range,
// negative), as many entries as stand from "1" on without a gap, written back. A list
// damaged from outside thus keeps the windows' entries instead of failing every window.
// Zeros at the head (left by older versions' close-all, which then stopped every later
// one) are dropped.
int EntryCount(WindowListStore& store) {
    const std::optional<double> stated = ReadWholeNumber(ReadOrZero(store, L"Count"));
    const std::optional<std::int16_t> stored = stated ? ToInt16(*stated) : std::nullopt;
    int count = stored && *stored >= 0 ? *stored : -1;
    if (count < 0) {
        count = 0;
        while (count < kMaxEntries && store.Read(Key(count + 1))) ++count;
        store.Write(L"Count", std::to_wstring(count));
    }
    int zeros = 0;
    while (zeros < count && NamedHandle(EntryValue(store, zeros + 1)) == 0) ++zeros;
    if (zeros == 0) return count;
    return DropEntries(store, count, [zeros](int position, double) { return position <= zeros; });
}

// Every entry of a handle goes: a handle value names one window at a time, so a second
// entry can only be a stale one that Windows has reused. An entry names the handle its
// value rounds to, as close-all and the listing read it.
int DropHandle(WindowListStore& store, int count, std::int32_t handle) {
    return DropEntries(store, count, [handle](int, double value) { return NamedHandle(value) == handle; });
}

}  // namespace

bool UpdateWindowList(WindowListStore& store, std::int32_t handle, bool add, const std::function<bool(std::int32_t)>& namesWindow) {
    if (handle == 0) return true;
    // Read whole for an add: a stale entry of a window that is gone goes too.
    int count = DropEntries(store, EntryCount(store), [&](int, double value) {
        const std::int32_t named = NamedHandle(value);
        return named == handle || (add && namesWindow && !namesWindow(named));
    });
    if (!add) return true;
    if (count >= kMaxEntries) return false;
    store.Write(L"Count", std::to_wstring(count + 1));
    store.Write(Key(count + 1), std::to_wstring(handle));
    return true;
}

bool CloseAllListed(WindowListStore& store, const std::function<bool(std::int32_t)>& close) {
    std::vector<std::int32_t> unreached;
    bool shrank = true;
    for (;;) {
        const int count = EntryCount(store);
        const std::optional<double> first = ReadWholeNumber(ReadOrZero(store, L"1"));
        const std::optional<std::int32_t> handle = first ? ToInt32(*first) : std::nullopt;
        if (handle && *handle == 0) break;
        if (handle && !close(*handle)) unreached.push_back(*handle);
        // A head that is no number names no window; one whose removal did not shrink the
        // list (read differently, or a leftover beyond the count) goes all the same, so
        // every close-all ends and reaches every entry.
        if (!handle || DropHandle(store, count, *handle) >= count) DropHead(store, count);
        if (count == 0) break;  // a leftover beyond an empty list was its last entry
        // A list that cannot be written (a full registry, no permission) is not asked again.
        if (EntryCount(store) >= count) {
            shrank = false;
            break;
        }
    }
    // A window the request could not reach (a copy running elevated) stays listed, so a
    // close-all that can reach it still finds it.
    for (std::int32_t window : unreached) UpdateWindowList(store, window, true);
    return shrank;
}

std::vector<std::int32_t> ListedWindows(WindowListStore& store) {
    std::vector<std::int32_t> handles;
    for (int i = 1, count = EntryCount(store); i <= count; ++i)
        if (const auto handle = ToInt32(ReadWholeNumber(ReadOrZero(store, Key(i))).value_or(0)); handle && *handle)
            handles.push_back(*handle);
    return handles;
}

}  // namespace velvane
