#include "image/CardPainter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/TextCard.h"
#include "image/MarkPainter.h"
#include "image/Painting.h"
#include "system/GdiPlus.h"

namespace velvane {
namespace {

using Gdiplus::REAL;

constexpr Gdiplus::ARGB kCardColour = 0xFFFBFBF8, kInkColour = 0xFF1F1F1F;

// The card set at size 1, with what sets it.
struct Layout {
    Owned<Gdiplus::GpFontFamily> family;
    Owned<Gdiplus::GpFont> font;
    Owned<Gdiplus::GpStringFormat> format;
    std::vector<std::wstring> lines;
    REAL lineHeight = 0;
    std::int32_t width = 0, height = 0;
};

// Measured on a graphics set up as the painting one is, but unscaled: without hinting a piece
// of text is as wide there as it is drawn at any scale, so the lines never break elsewhere.
std::optional<Layout> LayOut(const std::wstring& cardText) {
    Layout layout;
    layout.family = LooksLikeCode(cardText) ? FixedFontFamily() : MessageFontFamily();
    if (!layout.family) return std::nullopt;
    const REAL em = static_cast<REAL>(MessageFontHeight());
    Gdiplus::GpFont* font = nullptr;
    if (gdip::GdipCreateFont(layout.family.get(), em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font) != Gdiplus::Ok) return std::nullopt;
    layout.font.reset(font);
    layout.format = OneLineFormat();
    Gdiplus::GpBitmap* pixel = nullptr;
    if (!layout.format || gdip::GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppPARGB, nullptr, &pixel) != Gdiplus::Ok) return std::nullopt;
    const GdipBitmap owned(pixel);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(pixel, &graphics) != Gdiplus::Ok) return std::nullopt;
    const GdipGraphics measuring(graphics);
    gdip::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAlias);
    bool failed = false;
    const auto measure = [&](std::wstring_view piece) -> double {
        if (piece.empty()) return 0;
        const Gdiplus::RectF at(0, 0, 0, 0);
        Gdiplus::RectF bound(0, 0, 0, 0);
        failed |= gdip::GdipMeasureString(graphics, piece.data(), static_cast<INT>(piece.size()), font, &at, layout.format.get(), &bound,
                                          nullptr, nullptr) != Gdiplus::Ok;
        return bound.Width;
    };
    layout.lines = WrapCardLines(cardText, measure);
    double widest = 0;
    for (const std::wstring& line : layout.lines) widest = std::max(widest, measure(line));
    if (failed || layout.lines.empty()) return std::nullopt;
    layout.lineHeight = LineSpacing(layout.family.get(), em);
    layout.width = static_cast<std::int32_t>(std::ceil(widest)) + 2 * kCardPadding;
    layout.height = static_cast<std::int32_t>(std::ceil(layout.lineHeight * static_cast<REAL>(layout.lines.size()))) + 2 * kCardPadding;
    return layout;
}

}  // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> CardSize(const std::wstring& cardText) {
    const std::optional<Layout> layout = LayOut(cardText);
    if (!layout) return std::nullopt;
    return std::pair{layout->width, layout->height};
}

bool PaintCard(const Pixels& bitmap, const std::wstring& cardText) {
    const std::optional<Layout> layout = LayOut(cardText);
    if (!layout || bitmap.width <= 0 || bitmap.height <= 0) return false;
    Gdiplus::GpBitmap* surface = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(bitmap.width, bitmap.height, static_cast<INT>(bitmap.stride), PixelFormat32bppPARGB, bitmap.rows,
                                        &surface) != Gdiplus::Ok)
        return false;
    const GdipBitmap owned(surface);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(surface, &graphics) != Gdiplus::Ok) return false;
    const GdipGraphics drawing(graphics);
    // The card's own picture set its window's size; set again where the message font differs (another
    // machine, another text size), the text still fits whole, never cut at the bottom.
    const REAL scale = std::min(static_cast<REAL>(bitmap.width) / static_cast<REAL>(layout->width),
                                static_cast<REAL>(bitmap.height) / static_cast<REAL>(layout->height));
    const auto brush = Brush(kInkColour);
    if (!brush || gdip::GdipGraphicsClear(graphics, kCardColour) != Gdiplus::Ok ||
        gdip::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAlias) != Gdiplus::Ok ||
        gdip::GdipScaleWorldTransform(graphics, scale, scale, Gdiplus::MatrixOrderPrepend) != Gdiplus::Ok)
        return false;
    // Line by line, each at its own height: nothing is left for GDI+ to wrap.
    bool drawn = true;
    for (std::size_t i = 0; i < layout->lines.size(); ++i) {
        const std::wstring& line = layout->lines[i];
        const Gdiplus::RectF at(kCardPadding, kCardPadding + layout->lineHeight * static_cast<REAL>(i), 0, 0);
        if (!line.empty())
            drawn &= gdip::GdipDrawString(graphics, line.data(), static_cast<INT>(line.size()), layout->font.get(), &at, layout->format.get(),
                                          brush.get()) == Gdiplus::Ok;
    }
    return drawn;
}

}  // namespace velvane
