#include <algorithm>
#include <cmath>

#include "Rows.h"
#include "core/Marks.h"

namespace velvane {

using Bytes = std::vector<std::uint8_t>;

static Mark Made(MarkTool tool, std::vector<MarkPoint> points, std::uint32_t colour = 0xE81123, int width = 3, std::wstring text = {}) {
    return {tool, colour, width, std::move(points), std::move(text)};
}

TEST(Marks, SnapsSquaresCoveredPixelsAndTheShownPart) {
    const struct { MarkPoint from, to, snapped, square; } drags[] = {  // held at the drag's length; squares take the longer side
        {{1, 1}, {5, 2}, {5.1231f, 1}, {5, 5}}, {{0, 0}, {-3, 4}, {-3.5355f, 3.5355f}, {-4, 4}},
        {{0, 0}, {1, -9}, {0, -9.0554f}, {9, -9}}, {{2, 2}, {2, 2}, {2, 2}, {2, 2}}, {{0, 0}, {0, 3}, {0, 3}, {3, 3}}};
    for (const auto& d : drags) {
        const MarkPoint s = SnapTo45(d.from, d.to), q = SquareCorner(d.from, d.to);
        EXPECT_TRUE(std::fabs(s.x - d.snapped.x) < 1e-4 && std::fabs(s.y - d.snapped.y) < 1e-4) << s.x << ", " << s.y;
        EXPECT_EQ(q, d.square) << q.x << ", " << q.y;
    }
    const PixelRect bounds{0, 0, 10, 6};
    const struct { MarkPoint a, b; PixelRect covered, shown; } crops[] = {  // shown: that crop on a 10 x 6 picture
        {{2.5f, 1.7f}, {-3, 5.2f}, {0, 1, 3, 6}, {0, 1, 3, 6}}, {{-5, -5}, {20, 20}, {0, 0, 10, 6}, {0, 0, 10, 6}},
        {{12, 1}, {15, 4}, {10, 1, 10, 4}, {9, 1, 10, 4}}, {{3.7f, 3}, {3.6f, 3}, {3, 3, 4, 3}, {3, 3, 4, 4}}};
    for (const auto& c : crops) {
        EXPECT_EQ(CoveredPixels(c.a, c.b, bounds), c.covered) << c.a.x << ", " << c.a.y;
        PinMarks marks;  // the last crop counts
        for (const Mark& m : {Made(MarkTool::Crop, {{1, 1}, {2, 2}}), Made(MarkTool::Crop, {c.a, c.b}), Made(MarkTool::Pen, {{0, 0}})}) marks.Add(m);
        EXPECT_EQ(marks.Shown(10, 6), c.shown) << c.a.x << ", " << c.a.y;
    }
}

// A 3 x 2 part of a picture, doubled and turned each of the eight ways: every pixel's centre lands in the
// window pixel that TurnPixels puts it in, and comes back.
TEST(Marks, ViewsTurnLikeThePixelsAndShiftsKeepThemInPlace) {
    const PixelRect part{1, 1, 4, 3};
    Bytes source(4 * 3 * 2);
    for (std::uint8_t i = 0; i < 6; ++i) source[4 * i] = i;
    for (int code = 0; code < 8; ++code) {
        const Orientation turn = *Orientation::FromCode(code);
        const auto view = MarkView::Of(part, 2, turn);
        ASSERT_TRUE(view) << code;
        EXPECT_EQ(std::make_pair(view->windowWidth, view->windowHeight), turn.SwapsSides() ? std::make_pair(4, 6) : std::make_pair(6, 4));
        Bytes turned(source.size());
        TurnPixels({source.data(), 3, 2, 12}, {turned.data(), turn.SwapsSides() ? 2 : 3, turn.SwapsSides() ? 3 : 2, turn.SwapsSides() ? 8 : 12}, turn);
        for (int i = 0; i < 6; ++i) {
            const MarkPoint centre{part.left + i % 3 + 0.5f, part.top + i / 3 + 0.5f}, w = view->ToWindow(centre), back = view->ToPicture(w);
            const int at = static_cast<int>(w.y / 2) * (turn.SwapsSides() ? 2 : 3) + static_cast<int>(w.x / 2);
            EXPECT_EQ(turned[4 * at], i) << "turn " << code << ", at " << w.x << ", " << w.y;
            EXPECT_TRUE(std::fabs(back.x - centre.x) < 1e-5 && std::fabs(back.y - centre.y) < 1e-5) << "turn " << code << ", pixel " << i;
        }
    }
    EXPECT_FALSE(MarkView::Of(part, 0.1f, {}));
    EXPECT_FALSE(MarkView::Of({4, 1, 4, 3}, 1, {}));
    EXPECT_DOUBLE_EQ(MarkView::Of({0, 0, 3, 7}, 0.5f, {1, false})->ScaleX(), 2.0 / 3);  // 1.5 to 2 across, 3.5 to 4 down
    // A crop of a 100 x 50 picture to (10, 5)-(60, 45), at twice its size: the window moves by the shift and back.
    const struct { Orientation turn; int dx, dy; } shifts[] = {{{1, false}, 10, 20}, {{0, true}, 80, 10}, {{3, true}, 10, 20}, {{2, false}, 80, 10}};
    for (const auto& s : shifts) {
        const auto whole = *MarkView::Of({0, 0, 100, 50}, 2, s.turn), cropped = *MarkView::Of({10, 5, 60, 45}, 2, s.turn);
        const WindowShift there = ShiftForShown(whole, cropped), back = ShiftForShown(cropped, whole);
        EXPECT_EQ(std::make_tuple(there.dx, there.dy, back.dx, back.dy), std::make_tuple(s.dx, s.dy, -s.dx, -s.dy)) << s.turn.Code();
    }
}

// Blocks start at the area's corner, not the picture's; the last ones are what is left.
TEST(Marks, BlurAveragesBlocksFromTheAreaCorner) {
    Bytes picture(4 * 11 * 10, 0);
    const auto grey = [&](int x, int y) { return &picture[4 * (y * 11 + x)]; };
    const struct { int x, y; std::uint8_t value; } set[] = {{0, 0, 77}, {8, 8, 100}, {10, 4, 201}, {1, 9, 61}, {9, 9, 8}};
    for (const auto& p : set) std::fill_n(grey(p.x, p.y), 4, p.value);
    BlurBlocks({picture.data(), 11, 10, 44}, {1, 1, 30, 30});
    const struct { int x, y, value; } pixels[] = {{0, 0, 77}, {1, 1, 2}, {8, 8, 2}, {9, 1, 13}, {10, 8, 13}, {1, 9, 8}, {8, 9, 8}, {9, 9, 4}, {10, 9, 4}, {0, 9, 0}};
    for (const auto& p : pixels) EXPECT_EQ(Bytes(grey(p.x, p.y), grey(p.x, p.y) + 4), Bytes(4, p.value)) << p.x << ", " << p.y;
}

TEST(Marks, RecordsReadBackAndDamageIsRefused) {
    PinMarks marks;
    for (const Mark& m : {Made(MarkTool::Pen, {{0.5f, -2}, {3, 4}, {1e6f, -1e6f}}), Made(MarkTool::Marker, {{1, 1}}, 0xFFFFFF, 20),
                          Made(MarkTool::Line, {{0, 0}, {1, 1}}, 0, 1), Made(MarkTool::Arrow, {{2, 3}, {4, 5}}), Made(MarkTool::Rectangle, {{1, 2}, {3, 4}}),
                          Made(MarkTool::Ellipse, {{-0.0f, 2}, {3, 4}}), Made(MarkTool::Text, {{7, 8}}, 0x808080, 255, L"Hi\n\u5199"),
                          Made(MarkTool::Blur, {{1, 2}, {9, 9}}), Made(MarkTool::Crop, {{1, 1}, {5, 5}})})
        marks.Add(m);
    const Bytes bytes = marks.Encode();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14), (Bytes{'V', 'V', 'M', '1', 9, 0, 0, 0, 1, 0x23, 0x11, 0xE8, 0, 3}));
    const auto back = PinMarks::Decode(bytes.data(), bytes.size());
    EXPECT_TRUE(back && back->Marks() == marks.Marks() && back->Encode() == bytes && !back->CanUndo());
    const Bytes none{'V', 'V', 'M', '1', 0, 0, 0, 0};  // no marks store as nothing, never as this
    EXPECT_TRUE(PinMarks{}.Encode().empty() && PinMarks::Decode(nullptr, 0)->Empty() && !PinMarks::Decode(none.data(), none.size()));
    for (std::size_t n = 1; n < bytes.size(); ++n) EXPECT_FALSE(PinMarks::Decode(bytes.data(), n)) << n;
    // One line: tool at 8, colour 9, width 13, points 18, text length 34.
    PinMarks one;
    one.Add(Made(MarkTool::Line, {{1, 2}, {3, 4}}));
    const struct { std::size_t at; Bytes put; bool accepted; } damage[] = {
        {3, {'2'}, false}, {4, {2}, false}, {8, {0}, false}, {8, {10}, false}, {8, {1}, true}, {8, {7}, false}, {12, {1}, false}, {13, {0}, false},
        {13, {21}, false}, {13, {20}, true}, {18, {0, 0, 0xC0, 0x7F}, false}, {18, {0, 0, 0x80, 0x7F}, false},
        {18, {0, 0x24, 0xF4, 0x49}, false}, {18, {0, 0x24, 0x74, 0xC9}, true}, {34, {1, 0, 0, 0, 'A', 0}, false}, {38, {0}, false}};
    for (const auto& d : damage) {
        Bytes damaged = one.Encode();
        damaged.resize(std::max(damaged.size(), d.at + d.put.size()));
        std::copy(d.put.begin(), d.put.end(), damaged.begin() + d.at);
        EXPECT_EQ(PinMarks::Decode(damaged.data(), damaged.size()).has_value(), d.accepted) << d.at << " " << +d.put[0];
    }
}

TEST(Marks, UndoRedoAndRevertWalkTheSteps) {
    PinMarks marks;
    std::uint32_t next = 1;
    const struct { char step; bool done; std::vector<std::uint32_t> colours; bool reverted; } steps[] = {
        {'+', true, {1}, false}, {'+', true, {1, 2}, false}, {'u', true, {1}, false}, {'r', true, {1, 2}, false}, {'u', true, {1}, false},
        {'+', true, {1, 3}, false}, {'r', false, {1, 3}, false}, {'x', true, {}, true}, {'x', false, {}, true}, {'r', false, {}, true},
        {'u', true, {1, 3}, false}, {'r', true, {}, true}, {'u', true, {1, 3}, false}, {'u', true, {1}, false}, {'u', true, {}, false},
        {'u', false, {}, false}, {'r', true, {1}, false}, {'r', true, {1, 3}, false}, {'r', true, {}, true}, {'r', false, {}, true}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
        const bool could = marks.CanRevert();
        const bool done = s.step == '+' ? (marks.Add(Made(MarkTool::Pen, {{0, 0}}, next++)), true)
                          : s.step == 'u' ? marks.Undo() : s.step == 'r' ? marks.Redo() : (marks.Revert(), could);
        std::vector<std::uint32_t> colours;
        for (const Mark& m : marks.Marks()) colours.push_back(m.colour);
        EXPECT_EQ(std::make_tuple(done, colours, marks.JustReverted()), std::make_tuple(s.done, s.colours, s.reverted)) << "step " << i;
    }
}

}  // namespace velvane
