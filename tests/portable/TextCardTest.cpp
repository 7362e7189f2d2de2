#include "Rows.h"
#include "core/TextCard.h"

namespace velvane {

// Ten pixels a UTF-16 unit; counts the units it was given.
static std::size_t measured = 0;
static double Tens(std::wstring_view s) { return measured += s.size(), 10.0 * static_cast<double>(s.size()); }

TEST(TextCard, ShowsTheVisibleTextInLfLines) {
    const struct { std::wstring in, out; } rows[] = {{L"a\r\nb\rc\r\n\r\n \t\n", L"a\nb\nc"}, {std::wstring(L"ab\0cd", 5), L"ab"},
                                                     {L"\x01x\x7fy\x85\tz ", L"xy\tz"}, {L"\n  x", L"\n  x"}, {L" \r\n\t\x3000", L""}};
    for (const auto& r : rows) EXPECT_EQ(CardText(r.in), r.out) << Row(r.in);
}

TEST(TextCard, WrapsAtWordsWithinTheWidth) {
    const std::wstring smile{wchar_t(0xD83D), wchar_t(0xDE00)};
    const struct { std::wstring text; double width; std::size_t most; std::vector<std::wstring> lines; } rows[] = {
        {L"the quick brown fox", 100, 9, {L"the quick", L"brown fox"}}, {L"a\n\nb", 100, 9, {L"a", L"", L"b"}},
        {L"abcdefghijklmnop xy", 50, 9, {L"abcde", L"fghij", L"klmno", L"p xy"}}, {L"  aa   bb", 50, 9, {L"  aa", L"bb"}},
        {L"ab\tc\n\td", 100, 9, {L"ab  c", L"    d"}}, {L"a" + smile + smile + smile, 40, 9, {L"a" + smile, smile + smile}},
        {L"aaaa bbbb cccc dddd", 40, 3, {L"aaaa", L"bbbb", L"ccc\u2026"}}, {L"aa\nbb\ncc", 40, 2, {L"aa", L"bb\u2026"}}, {L"", 40, 2, {}}};
    for (const auto& r : rows) {
        const auto lines = WrapCardLines(r.text, Tens, r.width, r.most);
        EXPECT_EQ(lines, r.lines) << Row(r.text);
        for (const auto& line : lines) EXPECT_LE(Tens(line), r.width) << Row(line);
    }
}

// A megabyte of text stops at the last line, having measured a few times what the lines hold.
TEST(TextCard, LongTextsStopAtTheLastLine) {
    std::wstring words;
    while (words.size() < 1 << 20) words += L"word ";
    for (const std::wstring& text : {words, std::wstring(1 << 20, L'x'), CardText(std::wstring(300, L'\n').insert(0, L"x") + L"x")}) {
        measured = 0;
        const auto lines = WrapCardLines(text, Tens);
        ASSERT_EQ(lines.size(), kCardMaxLines);
        EXPECT_EQ(lines.back().back(), L'\u2026');
        EXPECT_LE(Tens(lines.back()), kCardWrapWidth);
        EXPECT_LT(measured, 20 * kCardMaxLines * 64);
    }
}

TEST(TextCard, CodeIsToldFromProse) {
    const struct { const wchar_t* text; bool code; } rows[] = {
        {L"    indented\n\n\tblock", true}, {L"int main() {\n  return 0;\n}", true}, {L"$ cmake --build build", true},
        {L"import os\ndef main():\n    print(os.getcwd())", true}, {L"std::vector<int> v;", true},
        {L"Dear Sam,\nThe meeting moved (to Friday)\nSee you then.", false}, {L"12 High Street\nCambridge CB2 1TN\nUnited Kingdom", false},
        {L"https://example.com/a-b?c=d", false}, {L"Lunch at noon (bring a pen)", false}};
    for (const auto& r : rows) EXPECT_EQ(LooksLikeCode(r.text), r.code) << Row(r.text);
}

}  // namespace velvane
