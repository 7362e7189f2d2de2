// A logo window drawn on: editing begun and ended, and its marks changed from the menu.

#include "pin/FrmLogo.h"

#include <commdlg.h>

#include "core/ScaleArithmetic.h"
#include "image/LayeredPNGWindow.h"
#include "pin/PinEditor.h"

namespace velvane {

void FrmLogo::BeginEditing() {
    // A playing animation has no one picture to draw on; a hidden or click-through pin cannot be
    // reached; a card is drawn from its text alone.
    if (editor_ || aboutMode_ || animation_ || hidden_ || clickThrough_ || collapsed_ || ShUnload || !card_.empty()) return;
    editor_ = PinEditor::Start(*this);
    if (!editor_) return;
    // The keys typed next are the editor's, and a click elsewhere ends it.
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
}

void FrmLogo::EndEditing() {
    if (!editor_) return;
    editor_->Finish(true);
    editor_.reset();
    if (GetCapture() == hwnd_) ReleaseCapture();
    host_.PinsChanged();
}

void FrmLogo::MarksChanged() { host_.PinsChanged(); }

PinMarks FrmLogo::MarksToStore() const {
    const Mark* typed = editor_ ? editor_->TypedText() : nullptr;
    if (!typed || typed->text.empty()) return Marks;
    PinMarks marks = Marks;
    marks.Add(*typed);
    return marks;
}

void FrmLogo::RevertMarks() {
    ChangeMarks([](PinMarks& marks) {
        if (!marks.CanRevert()) return false;
        marks.Revert();
        return true;
    });
}

void FrmLogo::UndoRevert() {
    ChangeMarks([](PinMarks& marks) { return marks.JustReverted() && marks.Undo(); });
}

void FrmLogo::ChangeMarks(bool (*change)(PinMarks&)) {
    if (collapsed_) return;
    if (editor_) {
        editor_->Finish(false);
        if (change(Marks) && editor_->Rebuild(true)) MarksChanged();
        return;
    }
    LayeredPNGWindow renderer;
    std::int32_t width = 0, height = 0;
    const auto factor = Menu.MarkedFactor();
    LogoMenu menu = Menu;
    const auto rendering = menu.ChooseSizeAndOpacity(-1, -1);
    const auto alpha = rendering ? AlphaFromOpacity(rendering->opacity) : std::nullopt;
    if (!factor || !alpha || !renderer.PNGFileSize(fileNamePath_, width, height, &kept_)) return;
    const auto before = MarkView::Of(Marks.Shown(width, height), *factor, Menu.Turn);
    const PinMarks was = Marks;
    if (!before || !change(Marks)) return;
    const auto after = MarkView::Of(Marks.Shown(width, height), *factor, Menu.Turn);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    const WindowShift shift = after ? ShiftForShown(*before, *after) : WindowShift{};
    POINT topLeft{now.left + shift.dx, now.top + shift.dy};
    if (!after || !renderer.MakeTrans(fileNamePath_, Target(), *alpha, *factor, false, &topLeft, KeptAWhile())) {
        Marks = was;  // the picture as it shows stays, with the marks it shows
        return;
    }
    MarksChanged();
}

void FrmLogo::ChooseEditingColour() {
    if (!editor_) return;
    const std::uint32_t rgb = editor_->Colour();
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = hwnd_;
    choose.rgbResult = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    choose.lpCustColors = customColours_.data();
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    const HWND hwnd = hwnd_;
    choosingColour_ = true;
    EnableWindow(editor_->Toolbar(), FALSE);  // no other choice while the dialog asks for one
    const bool chosen = ChooseColorW(&choose) != FALSE;
    // The dialog ran messages: the pin, or its editing, may have ended meanwhile.
    FrmLogo* self = Find(hwnd);
    if (self != this) return;
    choosingColour_ = false;
    if (editor_) EnableWindow(editor_->Toolbar(), TRUE);
    SetFocus(hwnd_);
    if (chosen && editor_)
        editor_->ChooseColour(static_cast<std::uint32_t>(GetRValue(choose.rgbResult)) << 16 | GetGValue(choose.rgbResult) << 8 |
                              GetBValue(choose.rgbResult));
}

}  // namespace velvane
