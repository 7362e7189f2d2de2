#include "core/Marks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/ScaleArithmetic.h"

namespace velvane {
namespace {

constexpr std::uint8_t kMagic[4] = {'V', 'V', 'M', '1'};
constexpr double kMaxCoordinate = 1e6;

// NaN lands on the low end, so no unordered value reaches an integer cast.
double Clamped(double v, double lo, double hi) { return !(v >= lo) ? lo : (v > hi ? hi : v); }

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutF32(std::vector<std::uint8_t>& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    PutU32(out, bits);
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
    std::size_t Left() const { return left_; }
    bool Byte(std::uint8_t& v) {
        if (left_ < 1) return false;
        v = *data_++, --left_;
        return true;
    }
    bool U16(std::uint16_t& v) {
        if (left_ < 2) return false;
        v = static_cast<std::uint16_t>(data_[0] | data_[1] << 8);
        data_ += 2, left_ -= 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (left_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data_[i]) << (8 * i);
        data_ += 4, left_ -= 4;
        return true;
    }
    bool F32(float& f) {
        std::uint32_t bits;
        if (!U32(bits)) return false;
        std::memcpy(&f, &bits, sizeof f);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t left_;
};

bool PointCountFits(MarkTool tool, std::uint32_t count) {
    switch (tool) {
    case MarkTool::Pen:
    case MarkTool::Marker: return count >= 1;
    case MarkTool::Text: return count == 1;
    default: return count == 2;
    }
}

std::optional<Mark> ReadMark(Reader& in) {
    std::uint8_t tool, width;
    std::uint32_t colour, pointCount, textLength;
    if (!in.Byte(tool) || tool < static_cast<std::uint8_t>(MarkTool::Pen) || tool > static_cast<std::uint8_t>(MarkTool::Crop)) return std::nullopt;
    Mark mark;
    mark.tool = static_cast<MarkTool>(tool);
    const int maxWidth = mark.tool == MarkTool::Text ? kMaxTextMarkHeight : kMaxMarkWidth;
    if (!in.U32(colour) || colour > 0xFFFFFF || !in.Byte(width) || width < kMinMarkWidth || width > maxWidth) return std::nullopt;
    mark.colour = colour;
    mark.width = width;
    // The count is weighed against the bytes there before anything is allocated for it.
    if (!in.U32(pointCount) || pointCount > kMaxMarkPoints || !PointCountFits(mark.tool, pointCount) || pointCount > in.Left() / 8)
        return std::nullopt;
    mark.points.resize(pointCount);
    for (MarkPoint& p : mark.points)
        if (!in.F32(p.x) || !in.F32(p.y) || !(std::fabs(p.x) <= kMaxCoordinate) || !(std::fabs(p.y) <= kMaxCoordinate)) return std::nullopt;
    if (!in.U32(textLength) || textLength > kMaxMarkText || (textLength != 0 && mark.tool != MarkTool::Text) || textLength > in.Left() / 2)
        return std::nullopt;
    mark.text.resize(textLength);
    for (wchar_t& c : mark.text) {
        std::uint16_t unit = 0;
        in.U16(unit);
        c = static_cast<wchar_t>(unit);
    }
    return mark;
}

}  // namespace

PixelRect CoveredPixels(MarkPoint a, MarkPoint b, const PixelRect& bounds) {
    const double left = Clamped(std::floor(std::min(a.x, b.x)), bounds.left, bounds.right);
    const double top = Clamped(std::floor(std::min(a.y, b.y)), bounds.top, bounds.bottom);
    // Held at or past left and top: a rectangle off the bounds comes out empty, never with a negative side.
    const double right = Clamped(std::ceil(std::max(a.x, b.x)), left, bounds.right);
    const double bottom = Clamped(std::ceil(std::max(a.y, b.y)), top, bounds.bottom);
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
}

MarkPoint SnapTo45(MarkPoint from, MarkPoint to) {
    const double dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) return to;
    const double eighth = std::atan2(dy, dx) / (std::acos(-1.0) / 4);
    const int step = ((static_cast<int>(std::lround(eighth)) % 8) + 8) % 8;
    static constexpr int kSteps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    // One offset for both axes on a diagonal, so the end sits on it and not a rounding off it.
    const double along = (step % 2 == 1) ? length / std::sqrt(2.0) : length;
    const float offset = static_cast<float>(along);
    return {kSteps[step][0] == 0 ? from.x : from.x + kSteps[step][0] * offset, kSteps[step][1] == 0 ? from.y : from.y + kSteps[step][1] * offset};
}

MarkPoint SquareCorner(MarkPoint from, MarkPoint to) {
    const float dx = to.x - from.x, dy = to.y - from.y;
    const float side = std::max(std::fabs(dx), std::fabs(dy));
    return {from.x + (dx < 0 ? -side : side), from.y + (dy < 0 ? -side : side)};
}

void BlurBlocks(const Pixels& picture, PixelRect area) {
    area.left = std::max(area.left, 0), area.top = std::max(area.top, 0);
    area.right = std::min(area.right, picture.width), area.bottom = std::min(area.bottom, picture.height);
    for (std::int32_t top = area.top; top < area.bottom; top += kBlurBlock) {
        const std::int32_t bottom = std::min(top + kBlurBlock, area.bottom);
        for (std::int32_t left = area.left; left < area.right; left += kBlurBlock) {
            const std::int32_t right = std::min(left + kBlurBlock, area.right);
            const std::uint32_t n = static_cast<std::uint32_t>((right - left) * (bottom - top));
            std::uint32_t sum[4] = {};
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint8_t* p = picture.rows + y * picture.stride + 4 * static_cast<std::ptrdiff_t>(left);
                for (std::int32_t x = left; x < right; ++x, p += 4)
                    for (int c = 0; c < 4; ++c) sum[c] += p[c];
            }
            std::uint8_t average[4];
            for (int c = 0; c < 4; ++c) average[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
            for (std::int32_t y = top; y < bottom; ++y) {
                std::uint8_t* p = picture.rows + y * picture.stride + 4 * static_cast<std::ptrdiff_t>(left);
                for (std::int32_t x = left; x < right; ++x, p += 4) std::memcpy(p, average, 4);
            }
        }
    }
}

std::optional<MarkView> MarkView::Of(const PixelRect& shown, float factor, Orientation turn) {
    if (shown.Empty()) return std::nullopt;
    const std::optional<std::int32_t> width = ScaledSide(factor, shown.Width()), height = ScaledSide(factor, shown.Height());
    if (!width || !height || *width <= 0 || *height <= 0) return std::nullopt;
    MarkView view;
    view.shown = shown;
    view.turn = {((turn.quarterTurns % 4) + 4) % 4, turn.mirrored};
    view.windowWidth = view.turn.SwapsSides() ? *height : *width;
    view.windowHeight = view.turn.SwapsSides() ? *width : *height;
    return view;
}

double MarkView::ScaleX() const { return static_cast<double>(turn.SwapsSides() ? windowHeight : windowWidth) / shown.Width(); }
double MarkView::ScaleY() const { return static_cast<double>(turn.SwapsSides() ? windowWidth : windowHeight) / shown.Height(); }

MarkPoint MarkView::ToWindow(MarkPoint picture) const {
    double w = turn.SwapsSides() ? windowHeight : windowWidth, h = turn.SwapsSides() ? windowWidth : windowHeight;
    double x = (picture.x - static_cast<double>(shown.left)) * ScaleX(), y = (picture.y - static_cast<double>(shown.top)) * ScaleY();
    if (turn.mirrored) x = w - x;
    for (int i = 0; i < turn.quarterTurns; ++i) {
        const double turnedX = h - y;
        y = x, x = turnedX;
        std::swap(w, h);
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

MarkPoint MarkView::ToPicture(MarkPoint window) const {
    double w = windowWidth, x = window.x, y = window.y;
    // Each quarter turn undone: (x, y) in a w x h area came from (y, w - x) in an h x w one.
    for (int i = 0; i < turn.quarterTurns; ++i) {
        const double unturnedY = w - x;
        x = y, y = unturnedY;
        w = (i % 2 == 0) ? windowHeight : windowWidth;
    }
    if (turn.mirrored) x = w - x;
    return {static_cast<float>(x / ScaleX() + shown.left), static_cast<float>(y / ScaleY() + shown.top)};
}

WindowShift ShiftForShown(const MarkView& before, const MarkView& after) {
    const MarkPoint corner{static_cast<float>(after.shown.left), static_cast<float>(after.shown.top)};
    const MarkPoint was = before.ToWindow(corner), is = after.ToWindow(corner);
    auto whole = [](double v) { return static_cast<std::int32_t>(std::lround(Clamped(v, -2e9, 2e9))); };
    return {whole(static_cast<double>(was.x) - is.x), whole(static_cast<double>(was.y) - is.y)};
}

PixelRect PinMarks::Shown(std::int32_t pictureWidth, std::int32_t pictureHeight) const {
    const PixelRect whole{0, 0, pictureWidth, pictureHeight};
    if (whole.Empty()) return whole;
    for (auto mark = marks_.rbegin(); mark != marks_.rend(); ++mark) {
        if (mark->tool != MarkTool::Crop || mark->points.size() < 2) continue;
        PixelRect kept = CoveredPixels(mark->points[0], mark->points[1], whole);
        // A crop off the picture or of no area still keeps the nearest pixel: a window never comes to nothing.
        kept.left = std::min(kept.left, pictureWidth - 1), kept.top = std::min(kept.top, pictureHeight - 1);
        kept.right = std::max(kept.right, kept.left + 1), kept.bottom = std::max(kept.bottom, kept.top + 1);
        return kept;
    }
    return whole;
}

bool PinMarks::HasBlur() const {
    return std::any_of(marks_.begin(), marks_.end(), [](const Mark& m) { return m.tool == MarkTool::Blur; });
}

bool PinMarks::Add(Mark mark) {
    // What the reader would refuse is never kept: one such mark would cost every mark of the pin.
    const bool text = mark.tool == MarkTool::Text;
    const bool fits = marks_.size() < kMaxMarks && mark.points.size() <= kMaxMarkPoints &&
                      PointCountFits(mark.tool, static_cast<std::uint32_t>(mark.points.size())) &&
                      mark.text.size() <= kMaxMarkText && (text || mark.text.empty()) && mark.colour <= 0xFFFFFF &&
                      mark.width >= 1 && mark.width <= (text ? kMaxTextMarkHeight : kMaxMarkWidth) &&
                      std::all_of(mark.points.begin(), mark.points.end(), [](const MarkPoint& p) {
                          return std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate;  // NaN fails too
                      });
    if (!fits) return false;
    marks_.push_back(std::move(mark));
    undo_.push_back({});  // the mark itself stays the last of marks_ while this step is done
    redo_.clear();
    return true;
}

bool PinMarks::Undo() {
    if (undo_.empty()) return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    if (step.revert) {
        marks_ = std::move(step.reverted);
        step.reverted.clear();
    } else {
        step.mark = std::move(marks_.back());
        marks_.pop_back();
    }
    redo_.push_back(std::move(step));
    return true;
}

bool PinMarks::Redo() {
    if (redo_.empty()) return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    if (step.revert) {
        step.reverted = std::move(marks_);
        marks_.clear();
    } else {
        marks_.push_back(std::move(step.mark));
        step.mark = {};
    }
    undo_.push_back(std::move(step));
    return true;
}

void PinMarks::Revert() {
    if (marks_.empty()) return;
    Step step;
    step.revert = true;
    step.reverted = std::move(marks_);
    marks_.clear();
    undo_.push_back(std::move(step));
    redo_.clear();
}

bool PinMarks::JustReverted() const { return !undo_.empty() && undo_.back().revert; }

std::vector<std::uint8_t> PinMarks::Encode() const {
    std::vector<std::uint8_t> out;
    if (marks_.empty()) return out;
    out.assign(kMagic, kMagic + 4);
    PutU32(out, static_cast<std::uint32_t>(marks_.size()));
    for (const Mark& mark : marks_) {
        out.push_back(static_cast<std::uint8_t>(mark.tool));
        PutU32(out, mark.colour);
        out.push_back(static_cast<std::uint8_t>(std::clamp(mark.width, 0, 255)));
        PutU32(out, static_cast<std::uint32_t>(mark.points.size()));
        for (const MarkPoint& p : mark.points) PutF32(out, p.x), PutF32(out, p.y);
        PutU32(out, static_cast<std::uint32_t>(mark.text.size()));
        for (wchar_t c : mark.text) out.push_back(static_cast<std::uint8_t>(c)), out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

std::optional<PinMarks> PinMarks::Decode(const std::uint8_t* data, std::size_t size) {
    PinMarks marks;
    if (size == 0) return marks;
    if (size < 4 || std::memcmp(data, kMagic, 4) != 0) return std::nullopt;
    Reader in(data + 4, size - 4);
    std::uint32_t count;
    // No marks store as nothing, so a record of none is not one this program wrote.
    if (!in.U32(count) || count == 0 || count > kMaxMarks) return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::optional<Mark> mark = ReadMark(in);
        if (!mark) return std::nullopt;
        marks.marks_.push_back(std::move(*mark));
    }
    if (in.Left() != 0) return std::nullopt;
    return marks;
}

}  // namespace velvane
