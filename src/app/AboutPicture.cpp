#include "app/AboutPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/GlobalKeys.h"
#include "common/ProgramTexts.h"
#include "system/GdiPlus.h"
#include "system/OwnResources.h"
#include "system/TopDownBitmap.h"

namespace velvane::mMain {
namespace {

// Light text on a band as dark as the picture's card and nearly opaque: the line lies on the
// desktop, whatever its colours.
constexpr double kText = 230, kBand = 38, kBandAlpha = 0.9;

// The key only while this copy holds it: another program may have taken it.
std::wstring Line() {
    std::wstring line = L"Right-click for the menu";
    if (GlobalKeys::Holds(GlobalKeys::PinFromScreen))
        line += std::wstring(L" \u00B7 ") + GlobalKeys::KeyText(GlobalKeys::PinFromScreen) + L" pins from the screen";
    return line;
}

// The primary monitor's pixels per inch now (the about window opens there); the system's, which
// the message font is measured in, where Windows cannot tell (before 8.1).
int PrimaryMonitorDpi(int systemDpi) {
    using Query = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const ScopedLibrary shcore(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto query = shcore ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor"))) : nullptr;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (query && SUCCEEDED(query(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), kEffectiveDpi, &x, &y)) && y > 0) return static_cast<int>(y);
    return systemDpi;
}

// The user's message font at the monitor's scale, smoothed in grey: its levels become alpha.
ScopedFont MessageFont(int dpi, int systemDpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return ScopedFont();
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
    metrics.lfMessageFont.lfQuality = ANTIALIASED_QUALITY;
    return ScopedFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

// How much of each pixel the text covers, 0 to 255, centred in a box of the size: drawn white on
// black in a bitmap of its own, as GDI draws no alpha.
std::vector<std::uint8_t> TextCoverage(const std::wstring& line, HFONT font, int width, int height) {
    void* bits = nullptr;
    const ScopedBitmap bitmap = TopDownBitmap(width, height, bits);
    const ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return {};
    const ScopedSelection shown(dc.get(), bitmap.get()), chosen(dc.get(), font);
    PatBlt(dc.get(), 0, 0, width, height, BLACKNESS);
    SetTextColor(dc.get(), RGB(255, 255, 255));
    SetBkMode(dc.get(), TRANSPARENT);
    RECT box{0, 0, width, height};
    DrawTextW(dc.get(), line.c_str(), static_cast<int>(line.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const auto* pixel = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < coverage.size(); ++i, pixel += 4) coverage[i] = std::max({pixel[0], pixel[1], pixel[2]});
    return coverage;
}

// The text on a band with round ends, into straight BGRA rows at (left, top): per pixel, how much
// of it the band covers (smooth at its ends), and the text over that.
void DrawLine(std::uint8_t* rows, int stride, int left, int top, int width, int height, const std::vector<std::uint8_t>& text) {
    const double radius = height / 2.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double nearestX = std::clamp(x + 0.5, radius, width - radius);
            const double band = kBandAlpha * std::clamp(radius + 0.5 - std::hypot(x + 0.5 - nearestX, y + 0.5 - radius), 0.0, 1.0);
            const double cover = text[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] / 255.0;
            const double alpha = cover + band * (1 - cover);
            if (alpha <= 0) continue;
            const auto level = static_cast<std::uint8_t>(std::lround((cover * kText + band * (1 - cover) * kBand) / alpha));
            std::uint8_t* at = rows + static_cast<std::ptrdiff_t>(top + y) * stride + 4 * (left + x);
            at[0] = at[1] = at[2] = level;
            at[3] = static_cast<std::uint8_t>(std::lround(255 * alpha));
        }
    }
}

}  // namespace

bool WriteAboutPicture(const std::wstring& file) {
    const GdiplusSession session;
    const ResourceBytes about = FindOwnResource(AboutImageResource, AboutImageResource);
    if (!session.started() || !about.data) return false;
    const GdipImage picture = LoadImageBytes(std::vector<std::uint8_t>(about.data, about.data + about.size));
    UINT pictureWidth = 0, pictureHeight = 0;
    if (!picture || gdip::GdipGetImageWidth(picture.get(), &pictureWidth) != Gdiplus::Ok ||
        gdip::GdipGetImageHeight(picture.get(), &pictureHeight) != Gdiplus::Ok)
        return false;

    const ScopedWindowDC screen(nullptr);
    const int systemDpi = std::max(GetDeviceCaps(screen.get(), LOGPIXELSY), 1), dpi = PrimaryMonitorDpi(systemDpi);
    const ScopedFont font = MessageFont(dpi, systemDpi);
    const std::wstring line = Line();
    SIZE extent{};
    {
        const ScopedSelection chosen(screen.get(), font.get());
        if (!font || !GetTextExtentPoint32W(screen.get(), line.c_str(), static_cast<int>(line.size()), &extent)) return false;
    }
    // A band a little below the picture, the text centred in it; the window grows by it.
    const auto scaled = [dpi](int atStandardDpi) { return MulDiv(atStandardDpi, dpi, 96); };
    const int textWidth = static_cast<int>(extent.cx), textHeight = static_cast<int>(extent.cy);
    const int gap = scaled(3), band = std::max(scaled(21), textHeight + scaled(4)), bandWidth = textWidth + band;
    const int pictureLeft = std::max(bandWidth - static_cast<int>(pictureWidth), 0) / 2;
    const int width = std::max(static_cast<int>(pictureWidth), bandWidth), height = static_cast<int>(pictureHeight) + gap + band;
    const std::vector<std::uint8_t> text = TextCoverage(line, font.get(), bandWidth, band);
    if (text.empty()) return false;

    // The picture read pixel for pixel into the top of a transparent canvas: it keeps its look.
    std::vector<std::uint8_t> pixels(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const Gdiplus::GpRect whole{0, 0, static_cast<INT>(pictureWidth), static_cast<INT>(pictureHeight)};
    Gdiplus::BitmapData into{};
    into.Width = pictureWidth;
    into.Height = pictureHeight;
    into.Stride = 4 * width;
    into.PixelFormat = PixelFormat32bppARGB;
    into.Scan0 = pixels.data() + 4 * pictureLeft;
    auto* source = static_cast<Gdiplus::GpBitmap*>(picture.get());
    if (gdip::GdipBitmapLockBits(source, &whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB, &into) !=
            Gdiplus::Ok ||
        gdip::GdipBitmapUnlockBits(source, &into) != Gdiplus::Ok)
        return false;
    DrawLine(pixels.data(), 4 * width, (width - bandWidth) / 2, height - band, bandWidth, band, text);
    const GdipBitmap canvas = BitmapOfRows(pixels.data(), width, height, true);
    return SavePngFile(canvas.get(), file);
}

}  // namespace velvane::mMain
