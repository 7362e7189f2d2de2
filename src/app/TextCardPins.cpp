#include "app/TextCardPins.h"

#include <new>
#include <optional>
#include <vector>

#include "app/NewPins.h"
#include "core/TextCard.h"
#include "image/CardPainter.h"
#include "system/GdiPlus.h"
#include "system/TempFiles.h"

namespace velvane::mMain {
namespace {

bool WriteCardPicture(const std::wstring& text, const std::wstring& path) try {
    const GdiplusSession session;
    const auto size = session.started() ? CardSize(text) : std::nullopt;
    if (!size) return false;
    const auto [width, height] = *size;
    std::vector<std::uint8_t> pixels(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const Pixels drawn{pixels.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
    if (!PaintCard(drawn, text)) return false;
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, static_cast<INT>(drawn.stride), PixelFormat32bppPARGB, pixels.data(), &bitmap);
    return SavePngFile(GdipBitmap(bitmap).get(), path);
} catch (const std::bad_alloc&) {
    return false;
}

}  // namespace

bool PinTextCard(const std::wstring& clipboardText, POINT at) {
    const std::wstring text = CardText(clipboardText);
    const std::optional<std::wstring> file = text.empty() ? std::nullopt : MakeTempFileName();
    if (!file) return false;
    if (!WriteCardPicture(text, *file)) {
        DeleteFileForced(*file);
        return false;
    }
    PinOwnFile(*file, at, false, text);
    return true;
}

}  // namespace velvane::mMain
