#pragma once
// What the painters share: owners for GDI+ objects, the faces they set text in, and the format
// that lays out a line of text alike at every scale. Callers hold a GDI+ session.

#include <memory>

#include "system/GdiPlus.h"

namespace velvane {

struct GdipDelete {
    void operator()(Gdiplus::GpPen* pen) const { gdip::GdipDeletePen(pen); }
    void operator()(Gdiplus::GpBrush* brush) const { gdip::GdipDeleteBrush(brush); }
    void operator()(Gdiplus::GpPath* path) const { gdip::GdipDeletePath(path); }
    void operator()(Gdiplus::GpMatrix* matrix) const { gdip::GdipDeleteMatrix(matrix); }
    void operator()(Gdiplus::GpFontFamily* family) const { gdip::GdipDeleteFontFamily(family); }
    void operator()(Gdiplus::GpFont* font) const { gdip::GdipDeleteFont(font); }
    void operator()(Gdiplus::GpStringFormat* format) const { gdip::GdipDeleteStringFormat(format); }
};
template <class T>
using Owned = std::unique_ptr<T, GdipDelete>;

inline Owned<Gdiplus::GpSolidFill> Brush(Gdiplus::ARGB colour) {
    Gdiplus::GpSolidFill* brush = nullptr;
    gdip::GdipCreateSolidFill(colour, &brush);
    return Owned<Gdiplus::GpSolidFill>(brush);
}

// The user's message font's family, else a sans-serif one the system has, else any; null
// when GDI+ knows no family at all.
Owned<Gdiplus::GpFontFamily> MessageFontFamily();

// A fixed-width family: Consolas, Courier New, Lucida Console or GDI+'s generic monospace
// one; the message font's when the system has none of them.
Owned<Gdiplus::GpFontFamily> FixedFontFamily();

// A copy of GDI+'s generic typographic format (no hinting's padding, so a piece of text
// measures at size 1 what it draws at any scale) for one line: no wrapping, trailing spaces
// measured. Null when GDI+ fails.
Owned<Gdiplus::GpStringFormat> OneLineFormat();

// From one line's top to the next one's in the family set em pixels high.
Gdiplus::REAL LineSpacing(Gdiplus::GpFontFamily* family, Gdiplus::REAL em);

}  // namespace velvane
