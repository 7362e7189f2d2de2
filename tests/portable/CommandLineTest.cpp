#include <set>

#include "Rows.h"
#include "core/CommandLine.h"

namespace velvane {

using Paths = std::vector<std::wstring>;
constexpr std::int16_t C = CenterPos;
const std::wstring A = L"c:\\a.png", B = L"c:\\b.png", Odd = L"c:\\closeall dontontop.png";

TEST(CommandLine, SwitchesImagesAndTheTextLeft) {
    const struct { std::wstring text; Paths images; const wchar_t* rest; std::int32_t flags; bool complete = true; } cases[] = {
        {L"\"" + B + L"\" opacity50 \"" + A + L"\" size0.5", {B, A}, L"opacity50size0.5", 0},
        {L"\"c:\\about\\dontontop.png\"", {}, L"\"c:\\about\\dontontop.png\"", DontOnTopFlag},  // missing: its words count
        {L"\"" + Odd + L"\"", {Odd}, L"", 0},                     // words inside an existing path do not
        {L"\"" + A + L"\" " + B, {A, L" " + B}, B.c_str(), 0},   // unquoted: counted untrimmed, left in the text
        {L"\"" + A + L"\"\"" + A + L"\"", {A, A}, L"", 0},
        {L"\"" + A + L"\" 99999999999 about", {A}, L"99999999999about", 0, false},
        {L"size 0 . 5 left 100 dontontop", {}, L"size0.5left100dontontop", DontOnTopFlag},
        // Without any quote (Explorer's way with paths that hold no blank) every piece naming a file is an image.
        {A + L" " + B + L"\topacity50 " + A, {A, B, A}, L"opacity50", 0}, {L"c:\\none.png " + A + L" about", {A}, L"c:\\none.pngabout", 0},
        // A leading number replaces the keywords; zero lets them decide.
        {L"6dontloadeffect", {}, L"6dontloadeffect", DontOnTopFlag | DontMoveableFlag}, {L"dontloadeffect6", {}, L"dontloadeffect6", DontLoadEffectFlag},
        {L"1", {}, L"1", CloseAllFlag}, {L"3 1", {}, L"31", 31}, {L"0closeall", {}, L"0closeall", CloseAllFlag}, {L"-4", {}, L"-4", -4},
        {L"2.5", {}, L"2.5", 2}, {L"&h10", {}, L"&h10", 16}, {L"closeall", {}, L"closeall", CloseAllFlag},
        {L"dontontop dontmoveable dontdragactive dontloadeffect", {}, L"dontontopdontmoveabledontdragactivedontloadeffect", 30},
        {L"dontontopdontontop", {}, L"dontontopdontontop", DontOnTopFlag},
    };
    const std::set<std::wstring> files = {A, B, Odd, L" " + B};  // the file system trims the blanks about a name
    for (const auto& c : cases) {
        const SwitchReading r = ReadSwitches(c.text, [&](const std::wstring& piece) { return files.count(piece) != 0; });
        EXPECT_EQ(std::make_tuple(r.imageFiles, r.commandText, r.startupFlags, r.complete),
                  std::make_tuple(c.images, std::wstring(c.rest), c.flags, c.complete)) << Row(c.text);
    }
}

// The words for every running copy count as whole words outside quotes: a missing path
// that holds one ("z:\\slideshow\\x.png") is no word, and opens the about window instead.
TEST(CommandLine, WordsForEveryCopyAreWholeWordsOutsideQuotes) {
    const struct { std::wstring text; std::vector<std::wstring> words; } cases[] = {
        {L"\"z:\\slideshow\\x.png\"", {}}, {L"\"d:\\hideout\\y.png\" show", {L"show"}}, {L"\"e:\\restored\\z.png\"", {}},
        {L"restore  signin", {L"restore", L"signin"}}, {L"restoredontloadeffect", {L"restoredontloadeffect"}},
        {L"\"" + A + L"\"\thide", {L"hide"}}, {L"clickable\"", {L"clickable"}}, {L"c:\\none.png hide", {L"c:\\none.png", L"hide"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadSwitches(c.text, [](const std::wstring& piece) { return piece == A; }).words, c.words) << Row(c.text);
}

TEST(CommandLine, Values) {
    const struct { std::wstring text; bool fits; std::int16_t left = 0, top = 0, opacity = 0; float size = 0; } cases[] = {
        {L"", true, C, C, 100, 1}, {L"left300", true, 300, C, 100, 1}, {L"top-20left0", true, 0, -20, 100, 1},
        {L"opacity150", true, C, C, 100, 1}, {L"opacity50", true, C, C, 50, 1}, {L"opacity-5", true, C, C, -5, 1},
        {L"opacityabc", true, C, C, 0, 1}, {L"size0.5", true, C, C, 100, 0.5f}, {L"size0", true, C, C, 100, 1},
        {L"size-2", true, C, C, 100, 1}, {L"sizeabc", true, C, C, 100, 1}, {L"size2e0", true, C, C, 100, 2},
        {L"left10left20", true, 10, C, 100, 1}, {L"left100.5", true, 100, C, 100, 1}, {L"left101.5", true, 102, C, 100, 1},
        {L"\"c:\\about\\left12.png\"", true, 12, C, 100, 1}, {L"dontontop5", true, C, C, 100, 1},
        {L"dontontoptop40", true, C, 40, 100, 1}, {L"top40dontontop", true, C, 40, 100, 1}, {L"dontloadeffectopacity50", true, C, C, 50, 1},
        {L"dontloadeffectopacity50top7", true, C, 7, 50, 1},
        {L"left32767top-32768", true, 32767, -32768, 100, 1}, {L"left40000", false}, {L"top-40000", false},
        {L"opacity99999", false}, {L"size1e39", false}, {L"left1e400", false},
    };
    for (const auto& c : cases) {
        const auto v = ReadValues(c.text);
        ASSERT_EQ(v.has_value(), c.fits) << Row(c.text);
        if (!v) continue;
        EXPECT_EQ(std::make_tuple(v->leftPos, v->topPos, v->opacity, v->sizeFactor), std::make_tuple(c.left, c.top, c.opacity, c.size)) << Row(c.text);
    }
}

}  // namespace velvane
