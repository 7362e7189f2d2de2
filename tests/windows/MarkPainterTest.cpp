#include "Fixture.h"

#include <tuple>

#include "image/MarkPainter.h"

namespace velvane::testing {

static bool Red(const std::uint8_t* p) { return p[2] > 200 && p[1] < 60; }
static bool White(const std::uint8_t* p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }

// Samples are picture pixels' centres, found in the window through the view; every one stays at
// least a picture pixel from any edge drawn, so antialiasing or its absence does not decide them.
TEST_F(LogoTest, MarksDrawInPicturePixelsAtEverySizeAndTurn) {
    std::vector<std::uint8_t> bgra(40 * 30 * 4, 255);  // white, its top left 20 x 15 red
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) bgra[4 * (y * 40 + x)] = bgra[4 * (y * 40 + x) + 1] = 0;
    const std::wstring png = Png(L"marked.png", 40, 30, bgra.data());
    const GdiplusSession session;
    const auto mark = [](MarkTool tool, std::vector<MarkPoint> points, int width = 2) { return Mark{tool, 0, width, std::move(points), L""}; };
    using Samples = std::vector<std::pair<int, int>>;
    using T = MarkTool;
    const struct { const char* label; std::vector<Mark> marks; Samples ink, clean; int inkAbove = 0, side = 40; } cases[] = {
        {"blur (the picture kept stays unblurred: see the rectangle)", {mark(T::Blur, {{16, 0}, {32, 16}})}, {}, {{2, 2}, {28, 4}, {35, 20}}},
        {"pen, and a dot", {mark(T::Pen, {{5, 20}, {15, 20}, {15, 27}}), mark(T::Pen, {{30, 10}}, 6)}, {{10, 20}, {15, 24}, {30, 10}},
         {{10, 24}, {10, 17}, {30, 14}}},
        {"marker: one stroke over itself darkens nowhere", {mark(T::Marker, {{5, 22}, {30, 22}, {30, 25}, {5, 25}}, 1)},
         {{10, 23}, {10, 19}, {10, 27}}, {{10, 16}}, 130},
        {"line", {mark(T::Line, {{22, 5}, {35, 5}})}, {{28, 5}}, {{28, 8}, {28, 2}}},
        {"arrow", {mark(T::Arrow, {{2, 25}, {38, 25}})}, {{10, 25}, {30, 22}}, {{10, 22}}},
        {"rectangle", {mark(T::Rectangle, {{25, 15}, {5, 5}})}, {{5, 10}, {15, 15}, {25, 8}}, {{15, 10}, {18, 10}, {2, 2}, {28, 10}}},
        {"ellipse", {mark(T::Ellipse, {{5, 5}, {35, 25}})}, {{5, 15}, {20, 25}, {20, 5}}, {{20, 15}, {6, 6}}},
        {"crop", {mark(T::Line, {{12, 5}, {28, 5}}), mark(T::Crop, {{10, 0}, {30, 10}})}, {{20, 5}}, {{22, 8}, {15, 8}, {12, 1}}, 0, 20}};
    KeptPicture keep;
    for (const auto& c : cases) {
        PinMarks marks;
        for (const Mark& m : c.marks) marks.Add(m);
        // At its own size without a keeper (drawn straight into the window), then kept, scaled and turned.
        for (const auto& [factor, turn, keeper] : {std::tuple{1.0f, Orientation{}, static_cast<KeptPicture*>(nullptr)},
                                                   std::tuple{2.0f, Orientation{}, &keep}, std::tuple{2.0f, Orientation{1, true}, &keep}}) {
            SCOPED_TRACE(::testing::Message() << c.label << " x" << factor << " turned " << turn.quarterTurns);
            ImageSource image(png);
            const MarkView view = *MarkView::Of(marks.Shown(40, 30), factor, turn);
            std::vector<std::uint8_t> rows(4 * view.windowWidth * view.windowHeight);
            ASSERT_TRUE(RenderMarked(&image, {rows.data(), view.windowWidth, view.windowHeight, 4 * view.windowWidth}, view, marks, keeper, png));
            EXPECT_EQ(turn.SwapsSides() ? view.windowHeight : view.windowWidth, factor * c.side);
            const auto at = [&](int x, int y) {
                const MarkPoint p = view.ToWindow({x + 0.5f, y + 0.5f});
                return rows.data() + 4 * (static_cast<int>(p.y) * view.windowWidth + static_cast<int>(p.x));
            };
            for (const auto& [x, y] : c.ink) EXPECT_TRUE(at(x, y)[2] < 180 && at(x, y)[2] >= c.inkAbove) << x << "," << y << ": " << +at(x, y)[2];
            for (const auto& [x, y] : c.clean) EXPECT_TRUE(x < 20 && y < 15 ? Red(at(x, y)) : White(at(x, y))) << x << "," << y;
            if (c.marks[0].tool != T::Blur) continue;
            // Blocks of 8 counted from the blur's corner, each one colour (inside: scaling blends at their edges).
            for (const auto& [left, top] : Samples{{16, 0}, {16, 8}}) {
                EXPECT_FALSE(Red(at(left + 1, top + 1)) || White(at(left + 1, top + 1))) << left << "," << top;
                for (int y = top + 1; y < top + 7; ++y)
                    for (int x = left + 1; x < left + 7; ++x) EXPECT_EQ(std::memcmp(at(x, y), at(left + 1, top + 1), 4), 0) << x << "," << y;
            }
        }
    }
}

TEST_F(LogoTest, TextKeepsItsLinesAndItsCaretFollowsTheLastLine) {
    const GdiplusSession session;
    const MarkView view = *MarkView::Of({0, 0, 40, 30}, 1, {});
    for (bool caret : {false, true}) {
        std::vector<std::uint8_t> rows(40 * 30 * 4, 255);
        const Mark text{MarkTool::Text, 0, 8, {{22, 3}}, L"Hi\nHi\n"};
        PaintMarks({rows.data(), 40, 30, 160}, view, &text, 1, caret);
        const auto inked = [&](int x, int y) { return rows[4 * (y * 40 + x) + 2] < 180; };
        int lines[2] = {};  // ink in each line's band, and none beside the text
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                if (y >= 3 && y < 22 && x >= 21) lines[y >= 13] += inked(x, y);
                if (x < 20) {
                    EXPECT_FALSE(inked(x, y)) << x << "," << y;
                }
            }
        EXPECT_TRUE(lines[0] > 0 && lines[1] > 0) << lines[0] << " " << lines[1];
        EXPECT_EQ(inked(21, 27) && inked(22, 27), caret) << "a caret at the start of the empty third line";
    }
}

}  // namespace velvane::testing
