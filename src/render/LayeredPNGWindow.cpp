#include "render/LayeredPNGWindow.h"

#include <chrono>

#include "common/ProgramTexts.h"
#include "render/ScaleArithmetic.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

namespace velvane {
namespace {

using Clock = std::chrono::steady_clock;

// Each fade step stays on screen at least this long; measured on a monotonic clock so
// midnight or a clock change cannot stretch it, and slept rather than spun.
constexpr auto kFadeStep = std::chrono::milliseconds(10);

void WaitUntil(Clock::time_point deadline) {
    for (auto left = deadline - Clock::now(); left > Clock::duration::zero(); left = deadline - Clock::now()) {
        if (left > std::chrono::milliseconds(2)) Sleep(1);
        else Sleep(0);
    }
}

// Draws the whole image scaled into a bottom-up 32-bit DIB's rows, as premultiplied
// ARGB: that is what UpdateLayeredWindow blends, and a surface made from the DC may drop
// the alpha channel.
bool DrawScaled(Gdiplus::GpImage* image, void* bits, std::int32_t W, std::int32_t H) {
    const long long stride = 4LL * W;
    Gdiplus::GpBitmap* target = nullptr;
    BYTE* firstRow = static_cast<BYTE*>(bits) + (H - 1) * stride;
    if (gdip::GdipCreateBitmapFromScan0(W, H, static_cast<INT>(-stride), PixelFormat32bppPARGB, firstRow, &target) !=
        Gdiplus::Ok)
        return false;
    GdipBitmap surface(target);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(surface.get(), &graphics) != Gdiplus::Ok) return false;
    GdipGraphics drawing(graphics);
    return gdip::GdipDrawImageRect(drawing.get(), image, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H)) ==
           Gdiplus::Ok;
}

}  // namespace

LayeredPNGWindow::LayeredPNGWindow() {
    if (!GdipToken.started()) MessageBoxW(nullptr, GdiPlusErrorText, GdiPlusErrorCaption, MB_OK | MB_ICONERROR);
}

bool LayeredPNGWindow::PNGFileSize(const std::wstring& pngPath, std::int32_t& fWidth, std::int32_t& fHeight) {
    if (!GdipToken.started()) return false;
    GdipImage image = LoadImageFile(pngPath);
    if (!image) return false;
    UINT height = 0, width = 0;
    gdip::GdipGetImageHeight(image.get(), &height);
    gdip::GdipGetImageWidth(image.get(), &width);
    fHeight = static_cast<std::int32_t>(height);
    fWidth = static_cast<std::int32_t>(width);
    measured_ = std::move(image);
    measuredPath_ = pngPath;
    return true;
}

bool LayeredPNGWindow::MakeTrans(const std::wstring& pngPath, FrmLogo& FormIn, std::uint8_t ConstantAlpha,
                                 float ChangeSize, bool LoadEffect) {
    GdipImage image = measured_ && measuredPath_ == pngPath ? std::move(measured_)
                      : GdipToken.started()                   ? LoadImageFile(pngPath)
                                                              : nullptr;
    UINT imageHeight = 0, imageWidth = 0;
    if (image) {
        gdip::GdipGetImageHeight(image.get(), &imageHeight);
        gdip::GdipGetImageWidth(image.get(), &imageWidth);
    }
    const std::int32_t H = ScaledSide(ChangeSize, static_cast<std::int32_t>(imageHeight)).value_or(0);
    const std::int32_t W = ScaledSide(ChangeSize, static_cast<std::int32_t>(imageWidth)).value_or(0);
    const long long stride = 4LL * W;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = H;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const bool sizeFits = W > 0 && H > 0 && stride * H <= 0x7fffffffLL;
    info.bmiHeader.biSizeImage = sizeFits ? static_cast<DWORD>(stride * H) : 0;

    ScopedWindowDC screen(nullptr);
    MemDC.reset(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    if (sizeFits) DIBBitmap.reset(CreateDIBSection(MemDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    OldBitmap.Select(MemDC.get(), DIBBitmap.get());
    // A bitmap that cannot be had (an unreadable file, a size beyond memory) leaves the
    // window as it was rather than sized to a picture it never gets.
    if (!image || !bits) return false;
    FormIn.Resize(W, H);
    const bool fade = LoadEffect && FadeAllowed(W, H);

    const bool drawn = DrawScaled(image.get(), bits, W, H);

    HWND hwnd = FormIn.hWnd();
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    image.reset();
    BlendFunc = {AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};

    if (fade) {
        mMain::SetTopMost(FormIn, -1);
        for (std::uint8_t alpha : FadeSteps(ConstantAlpha)) {
            BlendFunc.SourceConstantAlpha = alpha;
            Push(FormIn, W, H);
            WaitUntil(Clock::now() + kFadeStep);
        }
    }
    BlendFunc.SourceConstantAlpha = ConstantAlpha;
    return Push(FormIn, W, H) && drawn;
}

bool LayeredPNGWindow::Push(FrmLogo& FormIn, std::int32_t width, std::int32_t height) {
    // The screen DC is what UpdateLayeredWindow documents as its destination.
    ScopedWindowDC screen(nullptr);
    SIZE size{width, height};
    POINT source{0, 0};
    return UpdateLayeredWindow(FormIn.hWnd(), screen.get(), nullptr, &size, MemDC.get(), &source, 0, &BlendFunc,
                               ULW_ALPHA) != FALSE;
}

void LayeredPNGWindow::UnloadPNGForm() {
    measured_.reset();
    OldBitmap.reset();
    DIBBitmap.reset();
    MemDC.reset();
    GdipToken.reset();
}

}  // namespace velvane
