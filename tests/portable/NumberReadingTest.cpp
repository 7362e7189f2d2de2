#include "startup/NumberReading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace velvane {
namespace {

struct NumberCase {
    const wchar_t* text;
    double expected;
};

TEST(NumberReading, ReadsTheLeadingNumberAndIgnoresTheRest) {
    const NumberCase cases[] = {
        {L"", 0},           {L"abc", 0},          {L"42", 42},          {L"100top50", 100},
        {L"100dontontop", 100}, {L"-7", -7},      {L"+7", 7},           {L"--7", 0},
        {L"0.5", 0.5},      {L".5", 0.5},         {L"5.", 5},           {L"1.5.5", 1.5},
        {L"2e3", 2000},     {L"2E-2", 0.02},      {L"2d3", 2000},       {L"2e", 2},
        {L"2e+", 2},        {L"2ex", 2},          {L"1e-400", 0},       {L"0e999", 0},
        {L"&hff", 255},     {L"&HFF", 255},       {L"&o17", 15},        {L"&h", 0},
        {L"&x1", 0},        {L"&o9", 0},          {L"&hfg", 15},        {L"e5", 0},
        {L".", 0},          {L"-", 0},            {L"3,5", 3},
    };
    for (const NumberCase& c : cases) {
        auto value = ReadNumber(c.text);
        ASSERT_TRUE(value.has_value()) << std::wstring(c.text).size();
        EXPECT_DOUBLE_EQ(*value, c.expected) << "text index " << (&c - cases);
    }
}

TEST(NumberReading, SkipsBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_DOUBLE_EQ(*ReadNumber(L"  1 2\t3\n4"), 1234);
    EXPECT_DOUBLE_EQ(*ReadNumber(L"- 0 . 5"), -0.5);
    EXPECT_DOUBLE_EQ(*ReadNumber(L"1 e 2"), 100);
    // Carriage returns and other characters are no blanks: they end the number.
    EXPECT_DOUBLE_EQ(*ReadNumber(L"1\r2"), 1);
    EXPECT_DOUBLE_EQ(*ReadNumber(L"1\u00a02"), 1);
}

TEST(NumberReading, NonAsciiDigitsAreNoDigits) {
    EXPECT_DOUBLE_EQ(*ReadNumber(L"\u0661\u0662"), 0);  // Arabic-Indic digits
    EXPECT_DOUBLE_EQ(*ReadNumber(L"7\uff18"), 7);       // full-width 8
}

TEST(NumberReading, OverflowIsAFailureButUnderflowIsZero) {
    EXPECT_FALSE(ReadNumber(L"1e400").has_value());
    EXPECT_FALSE(ReadNumber(L"-1e400").has_value());
    EXPECT_FALSE(ReadNumber(std::wstring(400, L'9')).has_value());
    EXPECT_DOUBLE_EQ(*ReadNumber(L"0.000000000000000000000000000000000000001e-300"), 0);
    EXPECT_DOUBLE_EQ(*ReadNumber(L"1e308"), 1e308);
}

TEST(NumberReading, LeadingDigitsOnly) {
    const struct {
        const wchar_t* text;
        std::optional<std::int32_t> expected;
    } cases[] = {{L"1.5Ras", 1}, {L"12Ras", 12}, {L"Ras", 0}, {L" 1", 0}, {L"-1", 0}, {L"2147483647", 2147483647},
                 {L"2147483648", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(LeadingDigits(c.text), c.expected) << std::wstring(c.text).size();
}

TEST(NumberReading, ExponentWithManyLeadingZerosStillCounts) {
    EXPECT_DOUBLE_EQ(*ReadNumber(L"3e0000000000000000002"), 300);
}

TEST(NumberReading, WholeNumberMustBeNothingElse) {
    EXPECT_EQ(ReadWholeNumber(L"12"), 12.0);
    EXPECT_EQ(ReadWholeNumber(L" -12 "), -12.0);
    EXPECT_EQ(ReadWholeNumber(L"2.5e1"), 25.0);
    EXPECT_EQ(ReadWholeNumber(L"&hFF"), 255.0);
    for (const wchar_t* text : {L"", L"  ", L"12a", L"abc", L"1e", L"&h", L"1 2x", L"--1", L"."})
        EXPECT_FALSE(ReadWholeNumber(text).has_value()) << std::wstring(text).size();
}

TEST(Conversion, RoundsHalfToEven) {
    const struct {
        double value;
        int expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {81.5, 82}, {82.5, 82},
                 {40.75, 41}, {2.4999999, 2}, {-2.6, -3}, {3.0, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToInt32(c.value), c.expected) << c.value;
        EXPECT_EQ(ToInt16(c.value), c.expected) << c.value;
    }
}

TEST(Conversion, FailsOutsideTheTargetRange) {
    EXPECT_EQ(ToInt16(32767.0), 32767);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_FALSE(ToInt16(32767.5).has_value());  // rounds to 32768
    EXPECT_EQ(ToInt16(-32768.5), -32768);        // rounds to the even -32768
    EXPECT_FALSE(ToInt16(-32769).has_value());
    EXPECT_FALSE(ToInt16(40000).has_value());
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(ToInt32(2147483648.0).has_value());
    EXPECT_EQ(ToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(ToInt32(-2147483649.0).has_value());
    EXPECT_EQ(ToByte(255.4), 255);
    EXPECT_FALSE(ToByte(255.5).has_value());
    EXPECT_FALSE(ToByte(-1).has_value());
    EXPECT_FALSE(ToInt32(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(ToInt32(std::nan("")).has_value());
}

TEST(Conversion, SingleKeepsItsRangeOnly) {
    EXPECT_FLOAT_EQ(*ToSingle(0.5), 0.5f);
    EXPECT_FLOAT_EQ(*ToSingle(-2), -2.0f);
    EXPECT_TRUE(ToSingle(3e38).has_value());
    EXPECT_FALSE(ToSingle(1e39).has_value());
    EXPECT_FALSE(ToSingle(-1e39).has_value());
}

}  // namespace
}  // namespace velvane
