#include "Fixture.h"

#include <climits>

#include "core/TextCard.h"
#include "image/CardPainter.h"

namespace velvane::testing {

// Drawn twice as large, a card is drawn from its text: its ink lands where the 1x ink does, doubled.
TEST_F(LogoTest, CardsAreDrawnFromTheirTextAtEverySize) {
    const GdiplusSession session;
    std::wstring command = L"$ echo";  // code, in the fixed face, wrapped over a few lines
    for (int i = 0; i < 30; ++i) command += L" wrapped";
    for (const std::wstring& text : {std::wstring(L"Call back at 3 about the card"), command}) {
        SCOPED_TRACE(::testing::Message() << text.size() << " characters");
        const auto size = CardSize(text);
        ASSERT_TRUE(size);
        EXPECT_GT(size->first, size->second);
        struct { int count = 0, left = INT_MAX, top = INT_MAX, right = -1, bottom = -1; } ink[2];
        for (int f = 1; f <= 2; ++f) {
            const int w = f * size->first, h = f * size->second;
            std::vector<std::uint8_t> rows(4 * w * h, 0);
            ASSERT_TRUE(PaintCard({rows.data(), w, h, 4 * w}, text));
            for (const int at : {0, w - 1, w * (h - 1), w * h - 1}) EXPECT_TRUE(rows[4 * at] > 240 && rows[4 * at + 3] == 255) << at;
            auto& i = ink[f - 1];
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (rows[4 * (y * w + x) + 2] < 128)
                        ++i.count, i.left = std::min(i.left, x), i.top = std::min(i.top, y), i.right = std::max(i.right, x + 1), i.bottom = y + 1;
        }
        EXPECT_TRUE(ink[0].left >= kCardPadding - 2 && ink[0].top >= kCardPadding - 2 && ink[0].right <= size->first - kCardPadding + 2);
        EXPECT_TRUE(ink[1].count > 2.5 * ink[0].count && ink[1].count < 6.5 * ink[0].count) << ink[0].count << " " << ink[1].count;
        for (const auto& [one, two] : {std::pair{ink[0].left, ink[1].left}, {ink[0].top, ink[1].top}, {ink[0].right, ink[1].right},
                                       {ink[0].bottom, ink[1].bottom}})
            EXPECT_NEAR(two, 2 * one, 3 + 0.04 * 2 * one);  // hinting may make a font's sizes differ a little (Wine's GDI+)
    }
    // Past 200 lines a card is 200 lines high: twice a 100-line card's text.
    const auto high = [](int count) {
        std::wstring text = L"line";
        for (int i = 1; i < count; ++i) text += L"\nline";
        return CardSize(text).value().second - 2 * kCardPadding;
    };
    EXPECT_EQ(high(300), high(200));
    EXPECT_NEAR(high(200), 2 * high(100), 1);
}

}  // namespace velvane::testing
