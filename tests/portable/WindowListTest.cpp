#include "startup/WindowList.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace velvane {
namespace {

// The list in memory, counting what is done to it.
class MapStore : public WindowListStore {
public:
    std::map<std::wstring, std::wstring> values;
    int reads = 0, writes = 0;

    std::optional<std::wstring> Read(const std::wstring& key) override {
        ++reads;
        auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void Write(const std::wstring& key, const std::wstring& value) override {
        ++writes;
        values[key] = value;
    }
    void Delete(const std::wstring& key) override {
        ++writes;
        values.erase(key);
    }
};

MapStore List(std::initializer_list<std::int32_t> handles) {
    MapStore store;
    int n = 0;
    for (std::int32_t h : handles) store.values[std::to_wstring(++n)] = std::to_wstring(h);
    store.values[L"Count"] = std::to_wstring(n);
    return store;
}

std::map<std::wstring, std::wstring> Values(std::initializer_list<std::pair<const std::wstring, std::wstring>> v) {
    return v;
}

TEST(WindowList, AppendToEmptyAndRemoveMiddle) {
    MapStore store;
    UpdateWindowList(store, 101, true);
    EXPECT_EQ(store.values, Values({{L"Count", L"1"}, {L"1", L"101"}}));
    UpdateWindowList(store, -202, true);
    UpdateWindowList(store, 303, true);
    UpdateWindowList(store, -202, false);
    EXPECT_EQ(store.values, Values({{L"Count", L"2"}, {L"1", L"101"}, {L"2", L"303"}}));
}

TEST(WindowList, RemovesOnlyTheFirstOccurrenceAndNothingWhenAbsent) {
    MapStore store = List({7, 8, 7});
    UpdateWindowList(store, 7, false);
    EXPECT_EQ(store.values, Values({{L"Count", L"2"}, {L"1", L"8"}, {L"2", L"7"}}));
    const int writes = store.writes;
    UpdateWindowList(store, 9, false);
    EXPECT_EQ(store.writes, writes);
}

TEST(WindowList, HandleZeroIsIgnored) {
    MapStore store = List({5});
    UpdateWindowList(store, 0, true);
    UpdateWindowList(store, 0, false);
    EXPECT_EQ(store.reads, 0);
    EXPECT_EQ(store.writes, 0);
}

TEST(WindowList, MovedEntriesAreRewrittenAsPlainIntegers) {
    MapStore store = List({1, 2, 3});
    store.values[L"2"] = L" 2.5e0 ";  // read leniently: 2.5, moved as 2
    store.values[L"3"] = L"junk";
    UpdateWindowList(store, 1, false);
    EXPECT_EQ(store.values, Values({{L"Count", L"2"}, {L"1", L"2"}, {L"2", L"0"}}));
}

TEST(WindowList, DamagedCountIsRepairedFromTheEntries) {
    for (const wchar_t* damaged : {L"abc", L"", L"99999", L"-3", L"2.5x"}) {
        MapStore store = List({11, 22, 33});
        store.values[L"Count"] = damaged;
        EXPECT_TRUE(UpdateWindowList(store, 44, true)) << damaged;
        EXPECT_EQ(store.values[L"Count"], L"4") << damaged;
        EXPECT_EQ(store.values[L"4"], L"44") << damaged;
        UpdateWindowList(store, 22, false);
        EXPECT_EQ(store.values, Values({{L"Count", L"3"}, {L"1", L"11"}, {L"2", L"33"}, {L"3", L"44"}})) << damaged;
    }
}

TEST(WindowList, CountIsReadStrictlyButRoundsHalfToEven) {
    MapStore store = List({1, 2, 3});
    store.values[L"Count"] = L"2.5";  // a number: 2, so entry 3 lies beyond the list
    UpdateWindowList(store, 3, false);
    EXPECT_EQ(store.values[L"Count"], L"2.5") << "no match: nothing written";
    UpdateWindowList(store, 9, true);
    EXPECT_EQ(store.values[L"Count"], L"3");
    EXPECT_EQ(store.values[L"3"], L"9");
}

TEST(WindowList, MissingEntryInsideTheListReadsAsZero) {
    MapStore store = List({1, 2, 3});
    store.values.erase(L"2");
    UpdateWindowList(store, 1, false);
    EXPECT_EQ(store.values, Values({{L"Count", L"2"}, {L"1", L"0"}, {L"2", L"3"}}));
}

TEST(WindowList, FullListTakesNoMore) {
    MapStore store;
    store.values[L"Count"] = L"32767";
    EXPECT_FALSE(UpdateWindowList(store, 1, true));
    EXPECT_EQ(store.values[L"Count"], L"32767");
}

TEST(CloseAll, ClosesOldestFirstAndEmptiesTheList) {
    MapStore store = List({10, -20, 30});
    std::vector<std::int32_t> closed;
    CloseAllListed(store, [&](std::int32_t h) { closed.push_back(h); });
    EXPECT_EQ(closed, (std::vector<std::int32_t>{10, -20, 30}));
    EXPECT_EQ(store.values, Values({{L"Count", L"0"}}));
}

TEST(CloseAll, EmptyListReadsOnceAndWritesNothing) {
    MapStore store;
    std::vector<std::int32_t> closed;
    CloseAllListed(store, [&](std::int32_t h) { closed.push_back(h); });
    EXPECT_TRUE(closed.empty());
    EXPECT_EQ(store.reads, 1);
    EXPECT_EQ(store.writes, 0);
}

TEST(CloseAll, LeftoverHeadWithCountZeroIsClosedOnceThenCleared) {
    MapStore store;
    store.values[L"Count"] = L"0";
    store.values[L"1"] = L"77";
    std::vector<std::int32_t> closed;
    CloseAllListed(store, [&](std::int32_t h) { closed.push_back(h); });
    EXPECT_EQ(closed, std::vector<std::int32_t>{77});
    EXPECT_EQ(store.values[L"1"], L"0");
}

TEST(CloseAll, DamagedHeadIsDroppedAndTheRestStillClose) {
    MapStore store = List({0, 5, 6});
    store.values[L"1"] = L"not a handle";
    std::vector<std::int32_t> closed;
    CloseAllListed(store, [&](std::int32_t h) { closed.push_back(h); });
    EXPECT_EQ(closed, (std::vector<std::int32_t>{5, 6}));
    EXPECT_EQ(store.values, Values({{L"Count", L"0"}}));
}

TEST(CloseAll, WindowsThatRemoveThemselvesMeanwhileDoNotConfuseIt) {
    // A closed window in another process takes its own (already removed) entry out again.
    MapStore store = List({1, 2, 3, 2});
    std::vector<std::int32_t> closed;
    CloseAllListed(store, [&](std::int32_t h) {
        closed.push_back(h);
        UpdateWindowList(store, h + 100, false);  // not listed: changes nothing
    });
    EXPECT_EQ(closed, (std::vector<std::int32_t>{1, 2, 3, 2}));
    EXPECT_EQ(store.values[L"Count"], L"0");
}

}  // namespace
}  // namespace velvane
