#include <map>
#include <sstream>

#include "Rows.h"
#include "MapStore.h"

namespace velvane {

// Steps: "a7" adds handle 7, "r7" removes it, "l" reads the handles listed, "c" closes all
// (each window closed then takes an unlisted handle out again, as one of another copy does).
TEST(WindowList, AddRemoveListCloseAllAndRepair) {
    const struct { const wchar_t *before, *steps, *after; std::vector<std::int32_t> handed = {}; bool untouched = false; } cases[] = {
        {L"", L"a101 a-202 a303 r-202", L"2|101|303"}, {L"3|11|22|33", L"r9", L"3|11|22|33", {}, true},
        {L"1|5", L"a0 r0", L"1|5", {}, true}, {L"3|1| 2.5e0 |junk", L"r1", L"1|2"}, {L"3|1|~|3", L"r1", L"1|3"},
        // A count far beyond the entries there (a crashed copy's), one entry of a reused handle: repaired, never filled.
        {L"32767|5", L"a5", L"1|5"}, {L"32767|5|~|6", L"a1", L"3|5|6|1"}, {L"4|5|0|6|0", L"a7", L"3|5|6|7"},
        // Entries naming windows that are gone (here, handles from 900 on) go when a window is added.
        {L"3|5|901|6", L"a7", L"3|5|6|7"}, {L"3|5|901|6", L"r5", L"2|901|6"},
        // A count that is no number is rebuilt from the entries there; 2.5 is a number, rounded to even.
        {L"abc|11|22|33", L"a44 r22", L"3|11|33|44"}, {L"|11|22|33", L"a44 r22", L"3|11|33|44"}, {L"99999|11|22", L"a44", L"3|11|22|44"},
        {L"-3|11|22|33", L"r22", L"2|11|33"}, {L"2.5x|11", L"a44", L"2|11|44"}, {L"2.5|1|2|3", L"r3 a9", L"3|1|2|9"},
        {L"3|10|junk|30", L"l", L"3|10|junk|30", {10, 30}, true}, {L"abc|10|20", L"l", L"2|10|20", {10, 20}},
        {L"3|10|-20|30", L"c", L"0", {10, -20, 30}}, {L"", L"c", L"", {}, true}, {L"0|77", L"c", L"0", {77}},
        {L"3|not a handle|5|6", L"c", L"0", {5, 6}},
        // A value listed twice (a stale entry whose handle Windows reused) is one window: closed once,
        // every entry of it removed, and listed once when it is added again.
        {L"3|7|7|8", L"c", L"0", {7, 8}}, {L"4|1|2|2|3", L"c", L"0", {1, 2, 3}}, {L"4|1|2|3|2", L"c", L"0", {1, 2, 3}},
        {L"3|7|8|7", L"r7", L"1|8"}, {L"2|7|8", L"a7", L"2|8|7"},
        // A window close could not reach (here, handles from 500 on) stays listed after close-all.
        {L"3|5|600|6", L"c", L"1|600", {5, 600, 6}},
        // A zero head with a larger count (left by older copies' close-all) is repaired by any operation.
        {L"3|0|5|6", L"c", L"0", {5, 6}}, {L"3|0|0|6", L"l", L"1|6", {6}}, {L"2|0|5", L"a9", L"2|5|9"},
    };
    for (const auto& c : cases) {
        MapStore store;
        store.values = ListOf(c.before);
        std::vector<std::int32_t> handed;
        std::wistringstream steps(c.steps);
        for (std::wstring step; steps >> step;) {
            if (step == L"c") CloseAllListed(store, [&](std::int32_t h) { return handed.push_back(h), UpdateWindowList(store, h + 1000, false), h < 500; });
            if (step == L"l") handed = ListedWindows(store);
            if (step[0] == L'a' || step[0] == L'r')
                UpdateWindowList(store, std::stoi(step.substr(1)), step[0] == L'a', [](std::int32_t h) { return h < 900; });
        }
        EXPECT_EQ(std::make_pair(store.values, handed), std::make_pair(ListOf(c.after), c.handed)) << Row(c.before) << " " << Row(c.steps);
        EXPECT_EQ(store.writes == 0, c.untouched) << Row(c.before) << " " << Row(c.steps);
    }
    // A list that cannot be written: close-all asks each window once and stops, the list as it was.
    struct Unwritable : MapStore {
        void Write(const std::wstring&, const std::wstring&) override {}
        void Delete(const std::wstring&) override {}
    } store;
    store.values = ListOf(L"2|5|6");
    int asked = 0;
    EXPECT_FALSE(CloseAllListed(store, [&](std::int32_t) { return ++asked, true; }));
    EXPECT_EQ(std::make_pair(asked, store.values), std::make_pair(1, ListOf(L"2|5|6")));
}

}  // namespace velvane
