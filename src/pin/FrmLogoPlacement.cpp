// Where a logo window is and how large, in pixels and in the twips of the command line and packages.

#include "core/Placement.h"
#include "pin/FrmLogo.h"

namespace velvane {
namespace {

int PixelsPerInch(int axis) {
    ScopedWindowDC screen(nullptr);
    return screen.get() ? GetDeviceCaps(screen.get(), axis) : 96;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// Exact, not cut to whole twips: at 175 % a pixel is 8.2 twips, and a copy must come back on its pixel.
double ToTwips(int pixels, double twipsPerPixel) { return pixels * twipsPerPixel; }

}  // namespace

double TwipsPerPixelX() { return TwipsPerPixel(PixelsPerInch(LOGPIXELSX)); }
double TwipsPerPixelY() { return TwipsPerPixel(PixelsPerInch(LOGPIXELSY)); }

double FrmLogo::LeftTwips() const { return ToTwips(WindowRect(hwnd_).left, TwipsPerPixelX()); }
double FrmLogo::TopTwips() const { return ToTwips(WindowRect(hwnd_).top, TwipsPerPixelY()); }

void FrmLogo::MoveToPixels(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmLogo::MoveToTwips(int left, int top) {
    auto x = TwipsToPixels(left, TwipsPerPixelX());
    auto y = TwipsToPixels(top, TwipsPerPixelY());
    SetWindowPos(hwnd_, nullptr, x.value_or(0), y.value_or(0), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int FrmLogo::Width() const {
    RECT r = WindowRect(hwnd_);
    return r.right - r.left;
}

int FrmLogo::Height() const {
    RECT r = WindowRect(hwnd_);
    return r.bottom - r.top;
}

void FrmLogo::Resize(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PushTarget FrmLogo::Target() {
    return {hwnd_, Menu.Turn, &Marks, &card_, [this] { mMain::SetTopMost(*this, -1); }, [this](std::uint8_t alpha) { Animate(alpha); }};
}

namespace mMain {

void SetTopMost(FrmLogo& Window, std::int32_t InsertAfter) {
    const auto x = TwipsToPixels(Window.LeftTwips(), TwipsPerPixelX());
    const auto y = TwipsToPixels(Window.TopTwips(), TwipsPerPixelY());
    SetWindowPos(Window.hWnd(), reinterpret_cast<HWND>(static_cast<INT_PTR>(InsertAfter)), x.value_or(0),
                 y.value_or(0), Window.Width(), Window.Height(), (Window.Hidden() ? 0 : SWP_SHOWWINDOW) | SWP_NOACTIVATE);
}

}  // namespace mMain
}  // namespace velvane
