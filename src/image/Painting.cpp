#include "image/Painting.h"

#include <cwchar>
#include <vector>

namespace velvane {

Owned<Gdiplus::GpFontFamily> MessageFontFamily() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool known = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
    for (const wchar_t* face : {known ? metrics.lfMessageFont.lfFaceName : L"", L"Segoe UI", L"Tahoma", L"Arial"}) {
        Gdiplus::GpFontFamily* family = nullptr;
        if (*face && gdip::GdipCreateFontFamilyFromName(face, nullptr, &family) == Gdiplus::Ok) return Owned<Gdiplus::GpFontFamily>(family);
    }
    // A system without those (Wine without its own fonts): a sans-serif face it has, else any.
    Gdiplus::GpFontCollection* installed = nullptr;
    INT count = 0, found = 0;
    if (gdip::GdipNewInstalledFontCollection(&installed) != Gdiplus::Ok || gdip::GdipGetFontCollectionFamilyCount(installed, &count) != Gdiplus::Ok ||
        count <= 0)
        return nullptr;
    std::vector<Gdiplus::GpFontFamily*> families(static_cast<std::size_t>(count));
    if (gdip::GdipGetFontCollectionFamilyList(installed, count, families.data(), &found) != Gdiplus::Ok || found <= 0) return nullptr;
    Gdiplus::GpFontFamily* chosen = families[0];
    for (INT i = 0; i < found; ++i) {
        WCHAR name[LF_FACESIZE] = {};
        if (gdip::GdipGetFamilyName(families[i], name, LANG_NEUTRAL) == Gdiplus::Ok && std::wcsstr(name, L"Sans") &&
            !std::wcsstr(name, L"Mono")) {
            chosen = families[i];
            break;
        }
    }
    // The list's families are the collection's own: a clone is ours to delete.
    Gdiplus::GpFontFamily* clone = nullptr;
    return gdip::GdipCloneFontFamily(chosen, &clone) == Gdiplus::Ok ? Owned<Gdiplus::GpFontFamily>(clone) : nullptr;
}

Owned<Gdiplus::GpFontFamily> FixedFontFamily() {
    for (const wchar_t* face : {L"Consolas", L"Courier New", L"Lucida Console"}) {
        Gdiplus::GpFontFamily* family = nullptr;
        if (gdip::GdipCreateFontFamilyFromName(face, nullptr, &family) == Gdiplus::Ok) return Owned<Gdiplus::GpFontFamily>(family);
    }
    // The generic family is GDI+'s own: a clone is ours to delete.
    Gdiplus::GpFontFamily *generic = nullptr, *clone = nullptr;
    if (gdip::GdipGetGenericFontFamilyMonospace(&generic) == Gdiplus::Ok && generic &&
        gdip::GdipCloneFontFamily(generic, &clone) == Gdiplus::Ok)
        return Owned<Gdiplus::GpFontFamily>(clone);
    return MessageFontFamily();
}

Owned<Gdiplus::GpStringFormat> OneLineFormat() {
    // The generic format is GDI+'s own: a copy of it is ours to change and delete.
    Gdiplus::GpStringFormat *typographic = nullptr, *copy = nullptr;
    if (gdip::GdipStringFormatGetGenericTypographic(&typographic) != Gdiplus::Ok ||
        gdip::GdipCloneStringFormat(typographic, &copy) != Gdiplus::Ok)
        return nullptr;
    Owned<Gdiplus::GpStringFormat> format(copy);
    INT flags = 0;
    gdip::GdipGetStringFormatFlags(copy, &flags);
    gdip::GdipSetStringFormatFlags(copy, flags | Gdiplus::StringFormatFlagsMeasureTrailingSpaces | Gdiplus::StringFormatFlagsNoWrap);
    return format;
}

Gdiplus::REAL LineSpacing(Gdiplus::GpFontFamily* family, Gdiplus::REAL em) {
    UINT16 emUnits = 0, spacingUnits = 0;
    gdip::GdipGetEmHeight(family, Gdiplus::FontStyleRegular, &emUnits);
    gdip::GdipGetLineSpacing(family, Gdiplus::FontStyleRegular, &spacingUnits);
    return emUnits && spacingUnits ? em * spacingUnits / emUnits : em * 1.2f;
}

}  // namespace velvane
