#include "image/MarkPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/ImageLimits.h"
#include "image/Painting.h"
#include "system/GdiPlus.h"

namespace velvane {
namespace {

using Gdiplus::PointF;
using Gdiplus::REAL;

constexpr Gdiplus::ARGB kOpaque = 0xFF000000;
constexpr Gdiplus::ARGB kMarkerAlpha = 0x66000000;  // about 40 %: the picture shows through

Owned<Gdiplus::GpPen> Pen(Gdiplus::ARGB colour, REAL width, bool round) {
    Gdiplus::GpPen* pen = nullptr;
    if (gdip::GdipCreatePen1(colour, width, Gdiplus::UnitWorld, &pen) != Gdiplus::Ok) return nullptr;
    if (round) {
        gdip::GdipSetPenLineCap197819(pen, Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
        gdip::GdipSetPenLineJoin(pen, Gdiplus::LineJoinRound);
    }
    return Owned<Gdiplus::GpPen>(pen);
}

// A GDI+ surface over the caller's premultiplied rows, antialiased.
class Canvas {
public:
    explicit Canvas(const Pixels& bitmap) {
        Gdiplus::GpBitmap* surface = nullptr;
        if (gdip::GdipCreateBitmapFromScan0(bitmap.width, bitmap.height, static_cast<INT>(bitmap.stride), PixelFormat32bppPARGB,
                                            bitmap.rows, &surface) != Gdiplus::Ok)
            return;
        bitmap_.reset(surface);
        Gdiplus::GpGraphics* graphics = nullptr;
        if (gdip::GdipGetImageGraphicsContext(surface, &graphics) != Gdiplus::Ok) return;
        graphics_.reset(graphics);
        // Pixel i spans [i, i + 1], as the view's coordinates count it.
        gdip::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
        gdip::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
        // ClearType's coloured fringes assume an opaque background; the bitmap has alpha.
        gdip::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAlias);
    }
    Gdiplus::GpGraphics* get() const { return graphics_.get(); }

    // World units become picture pixels, counted from the shown part's corner (see At): a
    // large picture's coordinates then keep their fraction in GDI+'s floats.
    bool MapLike(const MarkView& view) {
        const PixelRect& s = view.shown;
        const auto corner = [&](std::int32_t x, std::int32_t y) { return view.ToWindow({static_cast<float>(x), static_cast<float>(y)}); };
        const MarkPoint o = corner(s.left, s.top), right = corner(s.right, s.top), down = corner(s.left, s.bottom);
        const REAL w = static_cast<REAL>(s.Width()), h = static_cast<REAL>(s.Height());
        Gdiplus::GpMatrix* matrix = nullptr;
        if (gdip::GdipCreateMatrix2((right.x - o.x) / w, (right.y - o.y) / w, (down.x - o.x) / h, (down.y - o.y) / h, o.x, o.y, &matrix) !=
            Gdiplus::Ok)
            return false;
        const Owned<Gdiplus::GpMatrix> owned(matrix);
        left_ = s.left, top_ = s.top;
        return gdip::GdipSetWorldTransform(graphics_.get(), matrix) == Gdiplus::Ok;
    }
    PointF At(MarkPoint p) const {
        return PointF(static_cast<REAL>(static_cast<double>(p.x) - left_), static_cast<REAL>(static_cast<double>(p.y) - top_));
    }

private:
    GdipBitmap bitmap_;
    GdipGraphics graphics_;  // after bitmap_: it goes first
    double left_ = 0, top_ = 0;
};

// A polyline as one path, so a translucent stroke crossing itself does not darken there;
// a stroke that never moves is a dot of its width.
void Stroke(const Canvas& canvas, const std::vector<PointF>& points, REAL width, Gdiplus::ARGB colour) {
    if (points.empty()) return;
    const bool dot = std::all_of(points.begin(), points.end(), [&](const PointF& p) { return p.X == points[0].X && p.Y == points[0].Y; });
    if (dot) {
        gdip::GdipFillEllipse(canvas.get(), Brush(colour).get(), points[0].X - width / 2, points[0].Y - width / 2, width, width);
        return;
    }
    Gdiplus::GpPath* raw = nullptr;
    if (gdip::GdipCreatePath(Gdiplus::FillModeWinding, &raw) != Gdiplus::Ok) return;
    const Owned<Gdiplus::GpPath> path(raw);
    gdip::GdipAddPathLine2(raw, points.data(), static_cast<INT>(points.size()));
    gdip::GdipDrawPath(canvas.get(), Pen(colour, width, true).get(), raw);
}

void Arrow(const Canvas& canvas, PointF from, PointF to, REAL width, Gdiplus::ARGB colour) {
    const double dx = to.X - from.X, dy = to.Y - from.Y, length = std::hypot(dx, dy);
    if (!(length > 0)) return Stroke(canvas, {from}, width, colour);
    const double head = std::min(4.0 * width + 6, length), ux = dx / length, uy = dy / length;
    const auto along = [&](double back, double side) {
        return PointF(static_cast<REAL>(to.X - ux * back - uy * side), static_cast<REAL>(to.Y - uy * back + ux * side));
    };
    // The shaft ends well inside the head, so its round end stays under it.
    Stroke(canvas, {from, along(0.6 * head, 0)}, width, colour);
    const PointF tip[3] = {to, along(head, head / 2), along(head, -head / 2)};
    gdip::GdipFillPolygon(canvas.get(), Brush(colour).get(), tip, 3, Gdiplus::FillModeAlternate);
}

// Lines laid out by hand, a line's height apart, so the caret can be put after the last one.
void Text(const Canvas& canvas, const Mark& mark, Gdiplus::GpFontFamily* family, Gdiplus::ARGB colour, bool caret, REAL windowPixel) {
    const REAL em = static_cast<REAL>(std::clamp(mark.width, 1, kMaxTextMarkHeight));
    Gdiplus::GpFont* rawFont = nullptr;
    if (gdip::GdipCreateFont(family, em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &rawFont) != Gdiplus::Ok) return;
    const Owned<Gdiplus::GpFont> font(rawFont);
    const Owned<Gdiplus::GpStringFormat> format = OneLineFormat();
    if (!format) return;
    Gdiplus::GpStringFormat* const rawFormat = format.get();
    const REAL lineHeight = LineSpacing(family, em);
    const auto brush = Brush(colour);
    const PointF origin = canvas.At(mark.points[0]);
    const std::wstring& text = mark.text;
    std::size_t start = 0;
    for (REAL y = origin.Y;; y += lineHeight) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        const INT length = static_cast<INT>(end - start);
        const Gdiplus::RectF at(origin.X, y, 0, 0);
        if (length > 0) gdip::GdipDrawString(canvas.get(), text.data() + start, length, font.get(), &at, rawFormat, brush.get());
        if (end < text.size()) {
            start = end + 1;
            continue;
        }
        if (!caret) return;
        Gdiplus::RectF bound(origin.X, y, 0, 0);
        if (length > 0)
            gdip::GdipMeasureString(canvas.get(), text.data() + start, length, font.get(), &at, rawFormat, &bound, nullptr, nullptr);
        const REAL x = length > 0 ? bound.X + bound.Width : origin.X;
        gdip::GdipDrawLine(canvas.get(), Pen(colour, 2 * windowPixel, false).get(), x, y, x, y + lineHeight);
        return;
    }
}

void Draw(const Canvas& canvas, const Mark& mark, Gdiplus::GpFontFamily* family, bool caret, REAL windowPixel) {
    const Gdiplus::ARGB colour = kOpaque | (mark.colour & 0xFFFFFF);
    const REAL width = static_cast<REAL>(std::clamp(mark.width, kMinMarkWidth, kMaxMarkWidth));
    const std::vector<MarkPoint>& p = mark.points;
    std::vector<PointF> at;
    for (const MarkPoint& point : p) at.push_back(canvas.At(point));
    if (mark.tool == MarkTool::Pen) return Stroke(canvas, at, width, colour);
    if (mark.tool == MarkTool::Marker) return Stroke(canvas, at, std::max<REAL>(8, 4 * width), kMarkerAlpha | (colour & 0xFFFFFF));
    if (mark.tool == MarkTool::Text) {
        if (family && !at.empty()) Text(canvas, mark, family, colour, caret, windowPixel);
        return;
    }
    if (at.size() < 2) return;
    const REAL left = std::min(at[0].X, at[1].X), top = std::min(at[0].Y, at[1].Y);
    const REAL right = std::max(at[0].X, at[1].X), bottom = std::max(at[0].Y, at[1].Y);
    switch (mark.tool) {
    case MarkTool::Line: return Stroke(canvas, {at[0], at[1]}, width, colour);
    case MarkTool::Arrow: return Arrow(canvas, at[0], at[1], width, colour);
    case MarkTool::Rectangle:
        gdip::GdipDrawRectangle(canvas.get(), Pen(colour, width, false).get(), left, top, right - left, bottom - top);
        return;
    case MarkTool::Ellipse:
        gdip::GdipDrawEllipse(canvas.get(), Pen(colour, width, false).get(), left, top, right - left, bottom - top);
        return;
    default: return;  // blur and crop change the picture, not the drawing over it
    }
}

bool Draws(const Mark& mark) { return mark.tool != MarkTool::Blur && mark.tool != MarkTool::Crop; }

ConstPixels Part(const ConstPixels& picture, const PixelRect& part) {
    return {picture.rows + part.top * picture.stride + 4 * static_cast<std::ptrdiff_t>(part.left), part.Width(), part.Height(), picture.stride};
}

// Every blur, in order, over pixels holding the picture's rectangle held. That rectangle holds
// each blur's area whole, so the blocks count from the area's corner as at the picture's size.
void ApplyBlurs(const Pixels& pixels, const PixelRect& held, const std::vector<Mark>& marks, const PixelRect& whole) {
    for (const Mark& mark : marks) {
        if (mark.tool != MarkTool::Blur || mark.points.size() < 2) continue;
        PixelRect area = CoveredPixels(mark.points[0], mark.points[1], whole);
        area.left -= held.left, area.right -= held.left, area.top -= held.top, area.bottom -= held.top;
        if (!area.Empty()) BlurBlocks(pixels, area);
    }
}

}  // namespace

void PaintMarks(const Pixels& bitmap, const MarkView& view, const Mark* first, std::size_t count, bool caretAfter) {
    if (count == 0 || view.shown.Empty() || std::none_of(first, first + count, Draws)) return;
    Canvas canvas(bitmap);
    if (!canvas.get() || !canvas.MapLike(view)) return;
    const bool texts = std::any_of(first, first + count, [](const Mark& m) { return m.tool == MarkTool::Text; });
    const Owned<Gdiplus::GpFontFamily> family = texts ? MessageFontFamily() : nullptr;
    const REAL windowPixel = static_cast<REAL>(1 / std::min(view.ScaleX(), view.ScaleY()));
    try {
        for (std::size_t i = 0; i < count; ++i) Draw(canvas, first[i], family.get(), caretAfter && i + 1 == count, windowPixel);
    } catch (const std::bad_alloc&) {
        // A stroke too long for memory: the picture shows without the marks from there on.
    }
}

void PaintCropPreview(const Pixels& bitmap, const MarkView& view, const PixelRect& kept) {
    Canvas canvas(bitmap);
    if (!canvas.get() || view.shown.Empty()) return;
    const MarkPoint a = view.ToWindow({static_cast<float>(kept.left), static_cast<float>(kept.top)});
    const MarkPoint b = view.ToWindow({static_cast<float>(kept.right), static_cast<float>(kept.bottom)});
    const auto whole = [](float v, std::int32_t most) { return static_cast<INT>(std::clamp<double>(std::lround(v), 0, most)); };
    const INT w = bitmap.width, h = bitmap.height;
    const INT l = whole(std::min(a.x, b.x), w), r = whole(std::max(a.x, b.x), w);
    const INT t = whole(std::min(a.y, b.y), h), btm = whole(std::max(a.y, b.y), h);
    Gdiplus::GpGraphics* g = canvas.get();
    // Whole pixels: a frame that antialiasing smeared would not show where the crop falls.
    gdip::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeNone);
    const auto fill = [g](Gdiplus::ARGB colour, INT x0, INT y0, INT x1, INT y1) {
        if (x1 > x0 && y1 > y0) gdip::GdipFillRectangleI(g, Brush(colour).get(), x0, y0, x1 - x0, y1 - y0);
    };
    constexpr Gdiplus::ARGB kDim = 0x80000000, kDark = 0xFF000000, kLight = 0xFFFFFFFF;
    fill(kDim, 0, 0, w, t), fill(kDim, 0, btm, w, h), fill(kDim, 0, t, l, btm), fill(kDim, r, t, w, btm);
    // A one-pixel ring inside [x0, x1) x [y0, y1).
    const auto ring = [&](Gdiplus::ARGB colour, INT x0, INT y0, INT x1, INT y1) {
        fill(colour, x0, y0, x1, std::min(y0 + 1, y1)), fill(colour, x0, std::max(y1 - 1, y0 + 1), x1, y1);
        fill(colour, x0, y0 + 1, std::min(x0 + 1, x1), y1 - 1), fill(colour, std::max(x1 - 1, x0 + 1), y0 + 1, x1, y1 - 1);
    };
    ring(kDark, l - 1, t - 1, r + 1, btm + 1);
    ring(kLight, l, t, r, btm);
}

bool RenderMarked(ImageSource* image, const Pixels& bitmap, const MarkView& view, const PinMarks& marks, KeptPicture* keep,
                  const std::wstring& path) {
    const PixelRect& shown = view.shown;
    if (shown.Empty() || view.windowWidth <= 0 || view.windowHeight <= 0 || bitmap.width < view.windowWidth ||
        bitmap.height < view.windowHeight)
        return false;
    const Pixels window{bitmap.rows, view.windowWidth, view.windowHeight, bitmap.stride};
    const std::vector<Mark>& all = marks.Marks();
    try {
        const bool kept = keep && keep->Holds(path);
        if (!kept && !image) return false;
        const auto [width, height] = kept ? std::pair{keep->Width(), keep->Height()} : image->Size();
        const PixelRect whole{0, 0, width, height};
        if (!ImageSizeFits(width, height) || shown.left < 0 || shown.top < 0 || shown.right > width || shown.bottom > height) return false;
        // Nothing to keep, scale or turn: decoded, blurred and drawn on where it shows.
        if (!kept && !keep && view.turn == Orientation{} && shown == whole && window.width == width && window.height == height) {
            if (!image->Decode(window)) return false;
            ApplyBlurs(window, whole, all, whole);
            PaintMarks(window, view, all.data(), all.size());
            return true;
        }
        std::vector<std::uint8_t> decoded;
        ConstPixels picture{};
        if (kept) {
            picture = keep->Picture();
        } else {
            decoded.resize(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            const Pixels into{decoded.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
            if (!image->Decode(into)) return false;
            picture = {into.rows, width, height, into.stride};
            if (!keep) ApplyBlurs(into, whole, all, whole);  // a picture nobody keeps may change
        }
        ConstPixels source = Part(picture, shown);
        // What is kept, or about to be, stays as decoded: the blurs go to a copy of the
        // rectangle that holds the shown part and every blur.
        std::vector<std::uint8_t> blurred;
        if (keep && marks.HasBlur()) {
            PixelRect held = shown;
            for (const Mark& mark : all) {
                if (mark.tool != MarkTool::Blur || mark.points.size() < 2) continue;
                const PixelRect area = CoveredPixels(mark.points[0], mark.points[1], whole);
                if (area.Empty()) continue;
                held = {std::min(held.left, area.left), std::min(held.top, area.top), std::max(held.right, area.right),
                        std::max(held.bottom, area.bottom)};
            }
            const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(held.Width());
            blurred.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(held.Height()));
            const ConstPixels from = Part(picture, held);
            for (std::int32_t y = 0; y < held.Height(); ++y)
                std::memcpy(blurred.data() + y * stride, from.rows + y * from.stride, static_cast<std::size_t>(stride));
            ApplyBlurs({blurred.data(), held.Width(), held.Height(), stride}, held, all, whole);
            source = Part({blurred.data(), held.Width(), held.Height(), stride},
                          {shown.left - held.left, shown.top - held.top, shown.right - held.left, shown.bottom - held.top});
        }
        if (view.turn == Orientation{}) {
            ResamplePremultiplied(source, window);
        } else {
            const std::int32_t uprightWidth = view.turn.SwapsSides() ? window.height : window.width;
            const std::int32_t uprightHeight = view.turn.SwapsSides() ? window.width : window.height;
            const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(uprightWidth);
            std::vector<std::uint8_t> upright(static_cast<std::size_t>(stride) * static_cast<std::size_t>(uprightHeight));
            ResamplePremultiplied(source, {upright.data(), uprightWidth, uprightHeight, stride});
            TurnPixels({upright.data(), uprightWidth, uprightHeight, stride}, window, view.turn);
        }
        PaintMarks(window, view, all.data(), all.size());
        if (keep && !kept) keep->Keep(path, width, height, std::move(decoded));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int MessageFontHeight() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const int height = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) && metrics.lfMessageFont.lfHeight != 0
                           ? std::abs(static_cast<int>(metrics.lfMessageFont.lfHeight))
                           : 16;
    return std::clamp(height, 1, kMaxTextMarkHeight);
}

}  // namespace velvane
