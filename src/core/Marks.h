#pragma once
// What the user drew on a pin: marks kept beside its picture, never burnt into it, in the
// picture's own pixels (before size and turn), with the steps Ctrl+Z and Ctrl+Y walk.
//
// Stored bytes (integers little-endian, floats IEEE), written and read only by this program:
//   marks = "VVM1" count:u32 mark*count                        (nothing may follow)
//   mark  = tool:u8 colour:u32 width:u8 pointCount:u32 (x:f32 y:f32)*pointCount
//           textLength:u32 UTF-16LE[textLength]
// Reading checks every count and value against the bytes really there and the limits below.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Orientation.h"
#include "core/PixelRect.h"

namespace velvane {

enum class MarkTool : std::uint8_t { Pen = 1, Marker, Line, Arrow, Rectangle, Ellipse, Text, Blur, Crop };

struct MarkPoint {
    float x = 0, y = 0;
    bool operator==(const MarkPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const MarkPoint& other) const { return !(*this == other); }
};

struct Mark {
    MarkTool tool = MarkTool::Pen;
    std::uint32_t colour = 0xFF0000;  // 0xRRGGBB
    // A stroke's width in picture pixels; a text's font height in picture pixels.
    int width = 3;
    // Pen and marker: the path. Line, arrow, rectangle, ellipse, blur, crop: the two corners
    // (or ends) as dragged. Text: its top left corner.
    std::vector<MarkPoint> points;
    std::wstring text;  // lines apart by L'\n'

    bool operator==(const Mark& other) const {
        return tool == other.tool && colour == other.colour && width == other.width && points == other.points && text == other.text;
    }
};

constexpr int kMinMarkWidth = 1, kMaxMarkWidth = 20, kDefaultMarkWidth = 3;
constexpr int kMaxTextMarkHeight = 255;
// The swatches, keys 1 to 8: red (the default), black, white, yellow, green, blue, magenta, grey.
constexpr std::uint32_t kMarkColours[8] = {0xE81123, 0x000000, 0xFFFFFF, 0xFFD800, 0x10A020, 0x0063D1, 0xD000D0, 0x808080};
// A blur's pixels become blocks of this many pixels a side, each their average.
constexpr int kBlurBlock = 8;
// More than these make damaged marks.
constexpr std::uint32_t kMaxMarks = 100000, kMaxMarkPoints = 1u << 20, kMaxMarkText = 1u << 16;

// The whole pixels a dragged rectangle covers (corners in any order), within bounds.
PixelRect CoveredPixels(MarkPoint a, MarkPoint b, const PixelRect& bounds);

// The end of a line or arrow held to the nearest 45-degree step from its start (Shift).
MarkPoint SnapTo45(MarkPoint from, MarkPoint to);
// The far corner of a square (rectangle) or circle (ellipse) dragged from a corner (Shift):
// the longer side, towards the pointer.
MarkPoint SquareCorner(MarkPoint from, MarkPoint to);

// Every kBlurBlock-square block of the area (blocks counted from the area's top left; those
// at its right and bottom edges as wide as what is left) becomes the average of its own
// premultiplied pixels, alpha included. The area is clipped to the picture.
void BlurBlocks(const Pixels& picture, PixelRect area);

// How a picture's own pixels show in a window: the shown part, scaled to the window's
// size, then turned (a mirror left to right first, then quarter turns clockwise).
struct MarkView {
    PixelRect shown;  // within the picture
    std::int32_t windowWidth = 0, windowHeight = 0;  // the turned sides
    Orientation turn;

    // The view of a shown part at a size factor (the window's sides as the renderer sizes them);
    // empty when a side comes to nothing.
    static std::optional<MarkView> Of(const PixelRect& shown, float factor, Orientation turn);
    // Horizontal and vertical window pixels per picture pixel, before the turn.
    double ScaleX() const;
    double ScaleY() const;
    MarkPoint ToWindow(MarkPoint picture) const;
    MarkPoint ToPicture(MarkPoint window) const;
};

// Where a window's top left corner moves, from where it stands under before, so that the
// picture's pixels stay where they are on the screen under after (a crop, or its undo).
// Both views share the size factor and turn.
struct WindowShift {
    std::int32_t dx = 0, dy = 0;
};
WindowShift ShiftForShown(const MarkView& before, const MarkView& after);

// The marks of one pin, in the order drawn, and the steps the user may undo and redo.
class PinMarks {
public:
    const std::vector<Mark>& Marks() const { return marks_; }
    bool Empty() const { return marks_.empty(); }
    // The part of a picture of these sides that shows: the last crop (within the picture,
    // at least one pixel), else the whole picture.
    PixelRect Shown(std::int32_t pictureWidth, std::int32_t pictureHeight) const;
    bool HasBlur() const;

    // A new mark: the steps undone before it can no longer be redone. False, nothing kept, for a
    // mark that would not read back (beyond the counts, sizes and places stored marks may have).
    bool Add(Mark mark);
    // The last step (a mark, or a revert) undone or redone; false when there is none.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return !undo_.empty(); }
    // A step undone because it could not be shown is not offered again.
    void ForgetRedo() { redo_.clear(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Every mark goes, as one step that Undo brings back.
    bool CanRevert() const { return !marks_.empty(); }
    void Revert();
    // Whether the last step was a revert (Undo brings the marks back).
    bool JustReverted() const;

    // The marks as stored; empty marks store as nothing.
    std::vector<std::uint8_t> Encode() const;
    // Marks read back, with no steps; empty when the bytes are damaged.
    static std::optional<PinMarks> Decode(const std::uint8_t* data, std::size_t size);

private:
    struct Step {
        bool revert = false;
        Mark mark;                   // an added mark, while it is redone
        std::vector<Mark> reverted;  // the marks a revert took, while it is undone
    };
    std::vector<Mark> marks_;
    std::vector<Step> undo_, redo_;
};

}  // namespace velvane
