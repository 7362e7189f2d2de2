// A logo window selected with others, across copies.

#include <cstdlib>
#include <new>
#include <vector>

#include "image/LayeredPNGWindow.h"
#include "pin/FrmLogo.h"
#include "pin/PinRing.h"
#include "system/DragOut.h"
#include "system/GdiPlus.h"
#include "system/PinSelection.h"
#include "system/RunningCopies.h"
#include "system/TempFiles.h"

namespace velvane {

void FrmLogo::Select(bool on) {
    if (aboutMode_ || ShUnload || on == selected_) return;
    selected_ = on;
    mMain::PublishSelected(hwnd_, on);
    // Outside the pin's edge, which it never covers.
    if (on) frame_ = std::make_unique<PinRing>(hwnd_, L"Velvane.SelectionFrame", RingLook{2, GetSysColor(COLOR_HIGHLIGHT), false}, edge_.Width());
    else frame_.reset();
}

void FrmLogo::OnSelectionMessage(WPARAM wParam, LPARAM lParam) {
    const DWORD sender = static_cast<DWORD>(lParam);
    if (ShUnload || aboutMode_ || !IsVelvaneOfThisUser(sender)) return;
    const mMain::SelectionMessageArgs args = mMain::UnpackSelection(wParam);
    switch (args.act) {
    case mMain::SelectionAct::SelectShown: Select(IsWindowVisible(hwnd_) != FALSE || selected_); break;
    case mMain::SelectionAct::Clear: Select(false); break;
    case mMain::SelectionAct::MoveBy:
        if (!selected_ || !Menu.InmnuLogo[MoveableItem].checked) break;  // a pin locked in place stays
        if (args.a == 0 && args.b == 0) {
            KeepOnAMonitor();  // the move has ended
        } else {
            RECT now{};
            GetWindowRect(hwnd_, &now);
            MoveToPixels(now.left + args.a, now.top + args.b);
        }
        break;
    case mMain::SelectionAct::Close:
        if (selected_) host_.CloseSelection(args.a, sender);  // this pin is gone
        break;
    case mMain::SelectionAct::Opacity:
        if (selected_) ApplyOpacityItem(args.a);
        break;
    case mMain::SelectionAct::TopMost:
        if (selected_) SetTopMostState(args.a != 0);
        break;
    case mMain::SelectionAct::Render:
        if (selected_) GivePicture(args.a, sender);
        break;
    case mMain::SelectionAct::Reopen: host_.ReopenSelection(args.a); break;
    }
}

void FrmLogo::GivePicture(int batch, DWORD to) try {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    {
        const GdiplusSession session;
        pixels = LayeredPNGWindow().RenderedPixels(fileNamePath_, Menu.MarkedFactor().value_or(0), Menu.Turn, Marks, width, height, card_);
    }
    if (pixels.empty()) return;
    RECT now{};
    GetWindowRect(hwnd_, &now);
    // The pin's file goes with it as a copied file, unless it is a temporary file of ours (a pasted image).
    const std::wstring file = mMain::IsOwnTempFile(fileNamePath_) ? std::wstring() : fileNamePath_;
    std::vector<std::uint8_t> message = mMain::PictureMessage(batch, {now.left, now.top}, width, height, pixels, file);
    pixels = {};
    if (to == GetCurrentProcessId()) host_.TakeSelectionData(static_cast<ULONG_PTR>(mMain::SelectionData::Picture), message.data(), message.size());
    else mMain::SendToCopy(hwnd_, to, mMain::SelectionData::Picture, message);
} catch (const std::bad_alloc&) {
    // Too large to hand over beside what is held: the copy goes on, the clipboard without it.
}

void FrmLogo::OnCtrlPressMove(POINT screen) {
    // Past the system's drag distance the press is a drag of the picture out, not a click.
    if (std::abs(screen.x - pressAt_.x) < GetSystemMetrics(SM_CXDRAG) && std::abs(screen.y - pressAt_.y) < GetSystemMetrics(SM_CYDRAG)) return;
    ctrlPress_ = false;
    DragOut();  // runs messages: this pin may be gone after
}

void FrmLogo::DragOut() {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    {
        const GdiplusSession session;
        pixels = LayeredPNGWindow().RenderedPixels(fileNamePath_, Menu.MarkedFactor().value_or(0), Menu.Turn, Marks, width, height, card_);
    }
    if (pixels.empty()) return;
    ReleaseCapture();
    const HWND hwnd = hwnd_;
    draggingOut_ = true;  // let go over itself, the picture makes no second pin
    DragOutImage({pixels.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)}, fileNamePath_);
    if (FrmLogo* self = Find(hwnd)) self->draggingOut_ = false;  // the drag ran messages
}

}  // namespace velvane
