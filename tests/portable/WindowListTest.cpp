#include <map>
#include <sstream>

#include "Rows.h"
#include "startup/WindowList.h"

namespace velvane {
namespace {

using Values = std::map<std::wstring, std::wstring>;

// The list in memory, counting what is done to it.
struct MapStore : WindowListStore {
    Values values;
    int writes = 0;
    std::optional<std::wstring> Read(const std::wstring& key) override {
        return values.count(key) ? std::optional<std::wstring>(values[key]) : std::nullopt;
    }
    void Write(const std::wstring& key, const std::wstring& value) override { ++writes, values[key] = value; }
    void Delete(const std::wstring& key) override { ++writes, values.erase(key); }
};

// Steps: "a7" adds handle 7, "r7" removes it, "c" closes all (each window closed then
// takes an unlisted handle out again, as a closing window of another copy does).
TEST(WindowList, AddRemoveCloseAllAndRepair) {
    const Values full = {{L"Count", L"3"}, {L"1", L"11"}, {L"2", L"22"}, {L"3", L"33"}};
    const Values repaired = {{L"Count", L"3"}, {L"1", L"11"}, {L"2", L"33"}, {L"3", L"44"}};
    auto counted = [&](const wchar_t* count) { Values v = full; v[L"Count"] = count; return v; };
    const struct { Values before; const wchar_t* steps; Values after; std::vector<std::int32_t> closed = {}; int writes = -1; } cases[] = {
        {{}, L"a101 a-202 a303 r-202", {{L"Count", L"2"}, {L"1", L"101"}, {L"2", L"303"}}},
        {{{L"Count", L"3"}, {L"1", L"7"}, {L"2", L"8"}, {L"3", L"7"}}, L"r7", {{L"Count", L"2"}, {L"1", L"8"}, {L"2", L"7"}}},
        {full, L"r9", full, {}, 0},
        {full, L"a0 r0", full, {}, 0},
        {{{L"Count", L"3"}, {L"1", L"1"}, {L"2", L" 2.5e0 "}, {L"3", L"junk"}}, L"r1", {{L"Count", L"2"}, {L"1", L"2"}, {L"2", L"0"}}},
        {{{L"Count", L"3"}, {L"1", L"1"}, {L"3", L"3"}}, L"r1", {{L"Count", L"2"}, {L"1", L"0"}, {L"2", L"3"}}},
        // A damaged count is rebuilt from the entries present.
        {counted(L"abc"), L"a44 r22", repaired}, {counted(L""), L"a44 r22", repaired}, {counted(L"99999"), L"a44 r22", repaired},
        {counted(L"-3"), L"a44 r22", repaired}, {counted(L"2.5x"), L"a44 r22", repaired},
        // A number is read strictly but rounds half to even: 2.5 lists two.
        {{{L"Count", L"2.5"}, {L"1", L"1"}, {L"2", L"2"}, {L"3", L"3"}}, L"r3 a9",
         {{L"Count", L"3"}, {L"1", L"1"}, {L"2", L"2"}, {L"3", L"9"}}},
        {{{L"Count", L"32767"}}, L"a1", {{L"Count", L"32767"}}},
        {{{L"Count", L"3"}, {L"1", L"10"}, {L"2", L"-20"}, {L"3", L"30"}}, L"c", {{L"Count", L"0"}}, {10, -20, 30}},
        {{}, L"c", {}, {}, 0},
        {{{L"Count", L"0"}, {L"1", L"77"}}, L"c", {{L"Count", L"0"}, {L"1", L"0"}}, {77}},
        {{{L"Count", L"3"}, {L"1", L"not a handle"}, {L"2", L"5"}, {L"3", L"6"}}, L"c", {{L"Count", L"0"}}, {5, 6}},
        {{{L"Count", L"4"}, {L"1", L"1"}, {L"2", L"2"}, {L"3", L"3"}, {L"4", L"2"}}, L"c", {{L"Count", L"0"}}, {1, 2, 3, 2}},
    };
    for (const auto& c : cases) {
        MapStore store;
        store.values = c.before;
        std::vector<std::int32_t> closed;
        std::wistringstream steps(c.steps);
        for (std::wstring step; steps >> step;) {
            if (step == L"c")
                CloseAllListed(store, [&](std::int32_t h) { closed.push_back(h), UpdateWindowList(store, h + 1000, false); });
            else
                UpdateWindowList(store, std::stoi(step.substr(1)), step[0] == L'a');
        }
        EXPECT_EQ(std::make_pair(store.values, closed), std::make_pair(c.after, c.closed)) << Row(c.steps) << " row " << &c - cases;
        EXPECT_EQ(store.writes, c.writes < 0 ? store.writes : c.writes) << Row(c.steps) << " row " << &c - cases;
    }
    MapStore fullList;
    fullList.values[L"Count"] = L"32767";
    EXPECT_FALSE(UpdateWindowList(fullList, 1, true));
}

}  // namespace
}  // namespace velvane
