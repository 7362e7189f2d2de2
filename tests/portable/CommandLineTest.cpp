#include "startup/CommandLine.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace velvane {
namespace {

// Stands in for the file system: these (already lower-case) names exist.
struct FakeFiles {
    std::set<std::wstring> names;
    bool operator()(const std::wstring& piece) const {
        const auto first = piece.find_first_not_of(L' ');
        if (first == std::wstring::npos) return false;
        return names.count(piece.substr(first, piece.find_last_not_of(L' ') - first + 1)) != 0;
    }
};

SwitchReading Read(const std::wstring& text, std::set<std::wstring> existing = {}) {
    return ReadSwitches(text, FakeFiles{std::move(existing)});
}

TEST(CommandLine, QuotedExistingPathsBecomeImagesInOrderAndLeaveTheText) {
    auto r = Read(L"\"c:\\b.png\" opacity50 \"c:\\a.png\" size0.5", {L"c:\\a.png", L"c:\\b.png"});
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.imageFiles, (std::vector<std::wstring>{L"c:\\b.png", L"c:\\a.png"}));
    EXPECT_EQ(r.commandText, L"opacity50size0.5");
    EXPECT_EQ(r.startupFlags, 0);
}

TEST(CommandLine, MissingQuotedPathStaysInTheTextAndItsKeywordsCount) {
    auto r = Read(L"\"c:\\about\\left12.png\"", {});
    EXPECT_TRUE(r.imageFiles.empty());
    EXPECT_EQ(r.commandText, L"\"c:\\about\\left12.png\"");
    auto v = ReadValues(r.commandText);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->leftPos, 12);
}

TEST(CommandLine, KeywordsInsideAnExistingQuotedPathHaveNoEffect) {
    auto r = Read(L"\"c:\\closeall dontontop left5.png\"", {L"c:\\closeall dontontop left5.png"});
    EXPECT_EQ(r.imageFiles.size(), 1u);
    EXPECT_EQ(r.commandText, L"");
    EXPECT_EQ(r.startupFlags, 0);
    EXPECT_EQ(ReadValues(r.commandText)->leftPos, CenterPos);
}

TEST(CommandLine, UnquotedPieceThatNamesAFileCountsButIsNotRemoved) {
    // Pieces outside quotes are tested too; only quoted occurrences are cut out.
    auto r = Read(L"\"c:\\a.png\" c:\\b.png", {L"c:\\a.png", L"c:\\b.png"});
    EXPECT_EQ(r.imageFiles, (std::vector<std::wstring>{L"c:\\a.png", L" c:\\b.png"}));  // untrimmed
    EXPECT_EQ(r.commandText, L"c:\\b.png");
}

TEST(CommandLine, SamePathTwiceOpensTwice) {
    auto r = Read(L"\"a.png\" \"a.png\"", {L"a.png"});
    EXPECT_EQ(r.imageFiles.size(), 2u);
    EXPECT_EQ(r.commandText, L"");
}

TEST(CommandLine, LeadingNumberDisablesSwitchKeywords) {
    const struct {
        const wchar_t* text;
        std::int32_t flags;
    } cases[] = {
        {L"6", DontOnTopFlag | DontMoveableFlag},
        {L"6dontloadeffect", DontOnTopFlag | DontMoveableFlag},
        {L"dontloadeffect6", DontLoadEffectFlag},
        {L"1", CloseAllFlag},
        {L"3 1", 31},  // spaces go before the number is read
        {L"closeall", CloseAllFlag},
        {L"dontontop dontmoveable dontdragactive dontloadeffect", 2 + 4 + 8 + 16},
        {L"dontontopdontontop", DontOnTopFlag},
        {L"0closeall", CloseAllFlag},  // zero lets the keywords decide
        {L"-4", -4},
        {L"2.5", 2},
        {L"&h10", 16},
        {L"", 0},
    };
    for (const auto& c : cases) {
        auto r = Read(c.text);
        EXPECT_TRUE(r.complete) << "flags text " << (&c - cases);
        EXPECT_EQ(r.startupFlags, c.flags) << "flags text " << (&c - cases);
    }
}

TEST(CommandLine, SwitchNumberBeyond32BitsStopsTheReading) {
    auto r = Read(L"\"a.png\" 99999999999 about", {L"a.png"});
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.imageFiles.size(), 1u);
    EXPECT_EQ(r.commandText, L"99999999999about");
}

TEST(CommandLine, FailingFileTestStopsWithTheImagesFoundSoFar) {
    int calls = 0;
    auto r = ReadSwitches(L"\"a.png\"\"b.png\"", [&](const std::wstring& piece) {
        if (++calls > 2) throw std::runtime_error("search failed");
        return piece == L"a.png";
    });
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.imageFiles, std::vector<std::wstring>{L"a.png"});
}

TEST(CommandLine, ValuesAndTheirDefaults) {
    const struct {
        const wchar_t* text;
        int left, top, opacity;
        float size;
    } cases[] = {
        {L"", CenterPos, CenterPos, 100, 1.0f},
        {L"left300", 300, CenterPos, 100, 1.0f},
        {L"top-20left0", 0, -20, 100, 1.0f},
        {L"opacity150", CenterPos, CenterPos, 100, 1.0f},
        {L"opacity50", CenterPos, CenterPos, 50, 1.0f},
        {L"opacity-5", CenterPos, CenterPos, -5, 1.0f},
        {L"opacityabc", CenterPos, CenterPos, 0, 1.0f},
        {L"size0.5", CenterPos, CenterPos, 100, 0.5f},
        {L"size0", CenterPos, CenterPos, 100, 1.0f},
        {L"size-2", CenterPos, CenterPos, 100, 1.0f},
        {L"sizeabc", CenterPos, CenterPos, 100, 1.0f},
        {L"size2e0", CenterPos, CenterPos, 100, 2.0f},
        {L"left10left20", 10, CenterPos, 100, 1.0f},  // the first occurrence counts
        {L"left100.5", 100, CenterPos, 100, 1.0f},    // ties go to even
        {L"left101.5", 102, CenterPos, 100, 1.0f},
    };
    for (const auto& c : cases) {
        auto v = ReadValues(c.text);
        ASSERT_TRUE(v.has_value()) << "values text " << (&c - cases);
        EXPECT_EQ(v->leftPos, c.left) << "values text " << (&c - cases);
        EXPECT_EQ(v->topPos, c.top) << "values text " << (&c - cases);
        EXPECT_EQ(v->opacity, c.opacity) << "values text " << (&c - cases);
        EXPECT_FLOAT_EQ(v->sizeFactor, c.size) << "values text " << (&c - cases);
    }
}

TEST(CommandLine, SpacesInsideValuesAreRemovedFirst) {
    auto r = Read(L"size 0 . 5 left 100 dontontop");
    EXPECT_EQ(r.commandText, L"size0.5left100dontontop");
    EXPECT_EQ(r.startupFlags, DontOnTopFlag);
    auto v = ReadValues(r.commandText);
    EXPECT_FLOAT_EQ(v->sizeFactor, 0.5f);
    EXPECT_EQ(v->leftPos, 100);
}

TEST(CommandLine, TopInsideDontOnTopIsNoPosition) {
    EXPECT_EQ(ReadValues(L"dontontop")->topPos, CenterPos);
    EXPECT_EQ(ReadValues(L"dontontop5")->topPos, CenterPos);
    EXPECT_EQ(ReadValues(L"dontontoptop40")->topPos, 40);
    EXPECT_EQ(ReadValues(L"top40dontontop")->topPos, 40);
}

TEST(CommandLine, OutOfRangeValueFails) {
    EXPECT_FALSE(ReadValues(L"left40000").has_value());
    EXPECT_FALSE(ReadValues(L"top-40000").has_value());
    EXPECT_FALSE(ReadValues(L"opacity99999").has_value());  // fails before the cap
    EXPECT_FALSE(ReadValues(L"size1e39").has_value());
    EXPECT_FALSE(ReadValues(L"left1e400").has_value());
    EXPECT_TRUE(ReadValues(L"left32767top-32768").has_value());
}

}  // namespace
}  // namespace velvane
