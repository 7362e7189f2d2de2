#include <cmath>
#include <limits>

#include "Rows.h"
#include "core/NumberReading.h"

namespace velvane {

using Number = std::optional<double>;
constexpr auto None = std::nullopt;
static bool Same(Number a, Number b) { return a.has_value() == b.has_value() && (!a || std::fabs(*a - *b) <= 1e-12 * std::fmax(1, std::fabs(*b))); }

TEST(NumberReading, LeadingNumberWholeNumberAndLeadingDigits) {
    const struct { std::wstring text; Number leading, whole; std::optional<std::int32_t> digits; } cases[] = {
        {L"", 0, None, 0}, {L"abc", 0, None, 0}, {L"42", 42, 42, 42}, {L"100top50", 100, None, 100}, {L"-7", -7, -7, 0},
        {L"+7", 7, 7, 0}, {L"--7", 0, None, 0}, {L"0.5", 0.5, 0.5, 0}, {L".5", 0.5, 0.5, 0}, {L"5.", 5, 5, 5},
        {L"1.5.5", 1.5, None, 1}, {L"2e3", 2000, 2000, 2}, {L"2E-2", 0.02, 0.02, 2}, {L"2d3", 2000, 2000, 2},
        {L"2e", 2, None, 2}, {L"2e+", 2, None, 2}, {L"2ex", 2, None, 2}, {L"e5", 0, None, 0}, {L".", 0, None, 0},
        {L"3,5", 3, None, 3}, {L"&hff", 255, 255, 0}, {L"&o17", 15, 15, 0}, {L"&h", 0, None, 0}, {L"&x1", 0, None, 0},
        {L"&o9", 0, None, 0}, {L"&hfg", 15, None, 0}, {L" -12 ", -12, -12, 0}, {L"12Ras", 12, None, 12},
        // Blanks, tabs and line feeds vanish anywhere; other characters end the number.
        {L"  1 2\t3\n4", 1234, 1234, 0}, {L"- 0 . 5", -0.5, -0.5, 0}, {L"1 e 2", 100, 100, 1}, {L"1\r2", 1, None, 1},
        {L"1\u00a02", 1, None, 1}, {L"\u0661\u0662", 0, None, 0}, {L"7\uff18", 7, None, 7},
        // Overflow fails, underflow is zero.
        {L"1e308", 1e308, 1e308, 1}, {L"1e400", None, None, 1}, {L"-1e400", None, None, 0}, {L"1e-400", 0, 0, 1},
        {L"3e0000000000000000002", 300, 300, 3}, {L"2147483647", 2147483647, 2147483647, 2147483647},
        {L"2147483648", 2147483648.0, 2147483648.0, None}, {std::wstring(400, L'9'), None, None, None},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Same(ReadNumber(c.text), c.leading)) << Row(c.text);
        EXPECT_TRUE(Same(ReadWholeNumber(c.text), c.whole)) << Row(c.text);
        EXPECT_EQ(LeadingDigits(c.text), c.digits) << Row(c.text);
    }
}

// Round half to even, and fail outside the target's range.
TEST(NumberReading, ConversionsRoundToEvenWithinRange) {
    const struct { double value; Number int32, int16, byte; bool single; } cases[] = {
        {0.5, 0, 0, 0, true}, {1.5, 2, 2, 2, true}, {2.5, 2, 2, 2, true}, {-0.5, 0, 0, 0, true}, {-1.5, -2, -2, None, true},
        {-2.5, -2, -2, None, true}, {81.5, 82, 82, 82, true}, {82.5, 82, 82, 82, true}, {2.4999999, 2, 2, 2, true},
        {-2.6, -3, -3, None, true}, {255.4, 255, 255, 255, true}, {255.5, 256, 256, None, true},
        {32767.4, 32767, 32767, None, true}, {32767.5, 32768, None, None, true}, {-32768.5, -32768, -32768, None, true},
        {-32769, -32769, None, None, true}, {2147483647.0, 2147483647, None, None, true},
        {2147483648.0, None, None, None, true}, {-2147483648.0, -2147483648.0, None, None, true},
        {-2147483649.0, None, None, None, true}, {3e38, None, None, None, true}, {-1e39, None, None, None, false},
        {std::numeric_limits<double>::infinity(), None, None, None, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToInt32(c.value), c.int32) << c.value;
        EXPECT_EQ(ToInt16(c.value), c.int16) << c.value;
        EXPECT_EQ(ToByte(c.value), c.byte) << c.value;
        EXPECT_EQ(ToSingle(c.value).has_value(), c.single) << c.value;
    }
    EXPECT_FALSE(ToInt32(std::nan("")).has_value());
}

}  // namespace velvane
