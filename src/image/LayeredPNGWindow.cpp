#include "image/LayeredPNGWindow.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "common/ProgramTexts.h"
#include "core/ImageLimits.h"
#include "core/Orientation.h"
#include "core/PageToucher.h"
#include "core/Resample.h"
#include "core/ScaleArithmetic.h"
#include "image/CardPainter.h"
#include "image/ImageSource.h"
#include "image/MarkPainter.h"
#include "system/TopDownBitmap.h"

namespace velvane {
namespace {

using Clock = std::chrono::steady_clock;

// Each fade step stays on screen at least this long; measured on a monotonic clock so
// midnight or a clock change cannot stretch it, and slept rather than spun.
constexpr auto kFadeStep = std::chrono::milliseconds(10);

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// Sleeps to a deadline at a millisecond's precision. Windows' own tick is about 15.6 ms,
// which would stretch every 10 ms step: a high-resolution timer where Windows has one,
// else the system timer raised to 1 ms for as long as this lives.
class FadeClock {
public:
    FadeClock()
        : timer_(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS)),
          raised_(!timer_ && timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FadeClock() {
        if (raised_) timeEndPeriod(1);
    }
    FadeClock(const FadeClock&) = delete;
    FadeClock& operator=(const FadeClock&) = delete;

    void WaitUntil(Clock::time_point deadline) const {
        for (auto left = deadline - Clock::now(); left > Clock::duration::zero(); left = deadline - Clock::now()) {
            const auto ticks = std::chrono::duration_cast<std::chrono::duration<LONGLONG, std::ratio<1, 10000000>>>(left);
            LARGE_INTEGER due{};
            due.QuadPart = -std::max<LONGLONG>(ticks.count(), 1);  // relative, in 100 ns
            if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE))
                WaitForSingleObject(timer_.get(), INFINITE);
            else
                Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        }
    }

private:
    ScopedHandle timer_;
    bool raised_;
};

// A buffer of premultiplied pixels; empty when the size is more than memory holds.
std::vector<std::uint8_t> PixelBuffer(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> pixels;
    if (!ImageSizeFits(width, height)) return pixels;
    try {
        pixels.resize(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
    }
    return pixels;
}

// A card drawn from its text to fill the bitmap, then turned: sharp at every size.
bool RenderCard(const std::wstring& card, const Pixels& bitmap, Orientation turn) {
    if (turn == Orientation{}) return PaintCard(bitmap, card);
    const std::int32_t width = turn.SwapsSides() ? bitmap.height : bitmap.width;
    const std::int32_t height = turn.SwapsSides() ? bitmap.width : bitmap.height;
    std::vector<std::uint8_t> upright = PixelBuffer(width, height);
    const Pixels drawn{upright.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
    if (upright.empty() || !PaintCard(drawn, card)) return false;
    TurnPixels({drawn.rows, width, height, drawn.stride}, bitmap, turn);
    return true;
}

}  // namespace

bool RenderImage(ImageSource* image, const Pixels& bitmap, Orientation turn, KeptPicture* keep, const std::wstring& path) {
    if (turn != Orientation{}) {
        const std::int32_t width = turn.SwapsSides() ? bitmap.height : bitmap.width;
        const std::int32_t height = turn.SwapsSides() ? bitmap.width : bitmap.height;
        std::vector<std::uint8_t> upright = PixelBuffer(width, height);
        const Pixels drawn{upright.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
        if (upright.empty() || !RenderImage(image, drawn, {}, keep, path)) return false;
        TurnPixels({drawn.rows, width, height, drawn.stride}, bitmap, turn);
        // Upright at its own size, it is the picture as decoded.
        if (keep && !keep->Holds(path) && image && image->Size() == std::pair{width, height})
            keep->Keep(path, width, height, std::move(upright));
        return true;
    }
    if (keep && keep->Holds(path)) {
        ResamplePremultiplied(keep->Picture(), bitmap);
        return true;
    }
    if (!image) return false;
    const auto [imageWidth, imageHeight] = image->Size();
    if (imageWidth == bitmap.width && imageHeight == bitmap.height) {
        if (!image->Decode(bitmap)) return false;
        if (keep) keep->KeepDrawn(path, bitmap);
        return true;
    }
    std::vector<std::uint8_t> pixels;
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(imageWidth);
    bool decoded = false;
    {
        // The bitmap's pages are made present beside the decoding rather than by the resampler after it.
        const PageToucher toucher(bitmap.rows, bitmap.stride > 0 ? static_cast<std::size_t>(bitmap.height) * bitmap.stride : 0);
        pixels = PixelBuffer(imageWidth, imageHeight);
        decoded = !pixels.empty() && image->Decode({pixels.data(), imageWidth, imageHeight, stride});
    }
    if (decoded) ResamplePremultiplied({pixels.data(), imageWidth, imageHeight, stride}, bitmap);
    if (decoded && keep) keep->Keep(path, imageWidth, imageHeight, std::move(pixels));
    return decoded;
}

LayeredPNGWindow::LayeredPNGWindow() {
    if (!GdipToken.started()) MessageBoxW(nullptr, GdiPlusErrorText, GdiPlusErrorCaption, MB_OK | MB_ICONERROR);
}

bool LayeredPNGWindow::PNGFileSize(const std::wstring& pngPath, std::int32_t& fWidth, std::int32_t& fHeight, const KeptPicture* kept) {
    if (kept && kept->Holds(pngPath)) {
        fWidth = kept->Width();
        fHeight = kept->Height();
        return true;
    }
    if (!GdipToken.started()) return false;
    auto image = std::make_unique<ImageSource>(pngPath);
    const auto [width, height] = image->Size();
    if (width == 0) return false;
    fWidth = width;
    fHeight = height;
    measured_ = std::move(image);
    measuredPath_ = pngPath;
    return true;
}

bool LayeredPNGWindow::MakeTrans(const std::wstring& pngPath, const PushTarget& FormIn, std::uint8_t ConstantAlpha,
                                 float ChangeSize, bool LoadEffect, const POINT* topLeft, KeptPicture* keep) {
    const bool kept = keep && keep->Holds(pngPath);
    std::unique_ptr<ImageSource> image = kept                                     ? nullptr
                                         : measured_ && measuredPath_ == pngPath ? std::move(measured_)
                                         : GdipToken.started()                   ? std::make_unique<ImageSource>(pngPath)
                                                                                 : nullptr;
    const auto [imageWidth, imageHeight] = kept ? std::pair{keep->Width(), keep->Height()} : image ? image->Size() : std::pair{0, 0};
    const Orientation turn = FormIn.turn;
    std::int32_t H = ScaledSide(ChangeSize, imageHeight).value_or(0);
    std::int32_t W = ScaledSide(ChangeSize, imageWidth).value_or(0);
    if (turn.SwapsSides()) std::swap(W, H);
    // Marks may crop the picture: the window then takes the part that shows. A card takes none.
    const bool card = FormIn.card && !FormIn.card->empty();
    const bool marked = !card && FormIn.marks && !FormIn.marks->Empty();
    const std::optional<MarkView> view =
        marked && imageWidth > 0 ? MarkView::Of(FormIn.marks->Shown(imageWidth, imageHeight), ChangeSize, turn) : std::nullopt;
    if (marked) {
        W = view ? view->windowWidth : 0;
        H = view ? view->windowHeight : 0;
    }
    const bool sizeFits = imageWidth > 0 && ImageSizeFits(W, H);

    ScopedWindowDC screen(nullptr);
    MemDC.reset(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    std::ptrdiff_t rowBytes = 4 * static_cast<std::ptrdiff_t>(W);
    // A window's own surface when it keeps one (drawn in its top left corner), else a bitmap of this job's.
    HBITMAP surface = sizeFits && keep ? keep->Surface(W, H, bits, rowBytes) : nullptr;
    if (sizeFits && !keep) DIBBitmap = TopDownBitmap(W, H, bits);
    OldBitmap.Select(MemDC.get(), surface ? surface : DIBBitmap.get());
    // The window's surface leaves this job's DC with the job, whichever way it ends: Windows
    // refuses to delete a bitmap still selected, and the window may let it go any time after.
    struct Deselect {
        ScopedSelection& selection;
        bool windows;
        ~Deselect() {
            if (windows) selection.reset();
        }
    } deselect{OldBitmap, surface != nullptr};
    // The picture is drawn before the window changes: one that cannot be had (an unreadable
    // or changed file, a size beyond memory) leaves the window with its old picture, place
    // and size rather than sized to a picture it never gets.
    const Pixels drawn{static_cast<std::uint8_t*>(bits), W, H, rowBytes};
    if (!bits || !(card   ? RenderCard(*FormIn.card, drawn, turn)
                   : view ? RenderMarked(image.get(), drawn, *view, *FormIn.marks, keep, pngPath)
                          : !marked && RenderImage(image.get(), drawn, turn, keep, pngPath)))
        return false;
    const HWND hwnd = FormIn.window;
    if (topLeft) SetWindowPos(hwnd, nullptr, topLeft->x, topLeft->y, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
    else SetWindowPos(hwnd, nullptr, 0, 0, W, H, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const bool fade = LoadEffect && FadeAllowed(W, H);

    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    BlendFunc = {AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};

    if (fade) {
        if (FormIn.beforeFade) FormIn.beforeFade();
        // Steps counted from the moment each picture is handed over, so a large picture's
        // push time does not lengthen the fade on top of the step.
        const FadeClock clock;
        for (std::uint8_t alpha : FadeSteps(ConstantAlpha)) {
            BlendFunc.SourceConstantAlpha = alpha;
            Push(hwnd, W, H, topLeft);
            clock.WaitUntil(pushedAt_ + kFadeStep);
        }
    }
    BlendFunc.SourceConstantAlpha = ConstantAlpha;
    if (!Push(hwnd, W, H, topLeft)) return false;
    if (FormIn.pushed) FormIn.pushed(ConstantAlpha);
    return true;
}

std::vector<std::uint8_t> LayeredPNGWindow::RenderedPixels(const std::wstring& pngPath, float factor, Orientation turn,
                                                           const PinMarks& marks, std::int32_t& width, std::int32_t& height,
                                                           const std::wstring& card) {
    if (!GdipToken.started()) return {};
    ImageSource image(pngPath);
    const auto [imageWidth, imageHeight] = image.Size();
    const PinMarks none;
    const PinMarks& drawnMarks = card.empty() ? marks : none;
    const std::optional<MarkView> view =
        imageWidth > 0 ? MarkView::Of(drawnMarks.Shown(imageWidth, imageHeight), factor, turn) : std::nullopt;
    width = view ? view->windowWidth : 0;
    height = view ? view->windowHeight : 0;
    std::vector<std::uint8_t> pixels = view ? PixelBuffer(width, height) : std::vector<std::uint8_t>{};
    const Pixels drawn{pixels.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
    if (!pixels.empty() && !(!card.empty()       ? RenderCard(card, drawn, turn)
                             : drawnMarks.Empty() ? RenderImage(image, drawn, turn)
                                                  : RenderMarked(&image, drawn, *view, marks)))
        pixels.clear();
    return pixels;
}

bool LayeredPNGWindow::Push(HWND window, std::int32_t width, std::int32_t height, const POINT* topLeft) {
    // The screen DC is what UpdateLayeredWindow documents as its destination.
    ScopedWindowDC screen(nullptr);
    SIZE size{width, height};
    POINT source{0, 0};
    POINT at = topLeft ? *topLeft : POINT{};
    pushedAt_ = Clock::now();
    return UpdateLayeredWindow(window, screen.get(), topLeft ? &at : nullptr, &size, MemDC.get(), &source, 0, &BlendFunc,
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
