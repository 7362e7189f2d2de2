#pragma once
// Draws a pin's marks over its window's bitmap, antialiased, in premultiplied pixels, and
// renders a marked picture whole (blurred and cropped at its own size, then scaled, turned
// and marked). Callers hold a GDI+ session.

#include <cstddef>
#include <string>

#include "core/Marks.h"
#include "core/Resample.h"
#include "image/ImageSource.h"
#include "image/KeptPicture.h"

namespace velvane {

// The strokes, shapes and texts of marks [first, first + count) drawn over a bitmap that
// shows the picture through view (blur and crop marks draw nothing here). caretAfter puts a
// text caret after the last mark's text (a text being typed).
void PaintMarks(const Pixels& bitmap, const MarkView& view, const Mark* first, std::size_t count, bool caretAfter = false);

// What a crop being dragged shows: the part left out dimmed, the kept part framed.
void PaintCropPreview(const Pixels& bitmap, const MarkView& view, const PixelRect& kept);

// The picture (decoded from image, or the one keep holds of path) with every mark, through
// view: blurs applied at its own size, the shown part scaled and turned into the bitmap
// (the view's window sides), then the other marks drawn. False when the picture cannot be had.
bool RenderMarked(ImageSource* image, const Pixels& bitmap, const MarkView& view, const PinMarks& marks,
                  KeptPicture* keep = nullptr, const std::wstring& path = {});

// The height in picture pixels of a new text mark: the user's message font's.
int MessageFontHeight();

}  // namespace velvane
