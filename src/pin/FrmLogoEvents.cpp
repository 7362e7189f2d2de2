// What a logo window does on mouse, keys, dropped files and its menu.

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <vector>

#include "core/Placement.h"
#include "core/ScaleArithmetic.h"
#include "image/LayeredPNGWindow.h"
#include "pin/FrmLogo.h"
#include "pin/PinEditor.h"
#include "pin/PopupMenu.h"
#include "system/Clipboard.h"
#include "system/PinSelection.h"
#include "system/SaveImageFile.h"
#include "system/TempFiles.h"
#include "system/StoredPreferences.h"

namespace velvane {
namespace {

constexpr int kLeftButton = 1, kRightButton = 2;
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;

}  // namespace

void FrmLogo::BeginDrag() {
    ReleaseCapture();
    const HWND hwnd = hwnd_;
    if (selected_) {
        RECT now{};
        GetWindowRect(hwnd_, &now);
        dragFrom_ = {now.left, now.top};
        draggingSelection_ = true;
    }
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    FrmLogo* self = Find(hwnd);  // the move ran messages
    if (!self || !self->draggingSelection_) return;
    self->draggingSelection_ = false;
    // The others followed the pointer; now each is kept at least partly on a monitor.
    mMain::TellSelection({mMain::SelectionAct::MoveBy, 0, 0});
}

void FrmLogo::OnMouseDown(int button) {
    Menu.UpdateMakeAllVisibility(Loaded().size(), mMain::AboutOpen);
    Menu.InmnuLogo[ReopenClosedItem].enabled = host_.CanReopen();
    Menu.InmnuLogo[OpenAtSignInItem].checked = host_.OpensAtSignIn();
    Menu.InmnuLogo[DrawItem].checked = editor_ != nullptr;
    Menu.InmnuLogo[DrawItem].enabled = !animation_ && !collapsed_ && card_.empty();
    Menu.InmnuLogo[CollapseItem].caption = collapsed_ ? L"Expand" : L"Collapse";
    Menu.InmnuLogo[RevertItem].enabled = Marks.CanRevert() && !collapsed_;
    Menu.InmnuLogo[UndoRevertItem].visible = Marks.JustReverted();
    if (button != kRightButton) return;
    if (aboutMode_) host_.AboutMenu(hwnd_);  // which may close this window
    else ShowPopupMenu();
}

void FrmLogo::OnMouseMove(int buttons) {
    if (Menu.InmnuLogo[MoveableItem].checked && buttons == kLeftButton) BeginDrag();
}

void FrmLogo::OnKeyDown(int keyCode, int shift) {
    const bool endsProgram = (keyCode == VK_END && shift == kCtrl) || (keyCode == 'X' && shift == kCtrl) ||
                             (keyCode == 'X' && shift == kAlt);
    if (endsProgram) host_.CopyCommand(hwnd_, ExitItem);
    if (keyCode == 'C' && shift == kCtrl) OnLogoItem(CopyItem);
    if (keyCode == 'V' && shift == kCtrl) OnLogoItem(PasteItem);
    if (keyCode == 'S' && shift == kCtrl && !aboutMode_) {
        OnLogoItem(SaveImageItem);
        return;  // the dialog ran messages: this pin may be gone
    }
    // While drawing, Ctrl+Z and Ctrl+Y walk the marks, not the closed pins.
    if (editor_ && keyCode == 'Z' && shift == kCtrl) editor_->Undo();
    else if (editor_ && keyCode == 'Y' && shift == kCtrl) editor_->Redo();
    else if (keyCode == 'Z' && shift == kCtrl) host_.CopyCommand(hwnd_, ReopenClosedItem);
    // Arrows nudge by a pixel, Shift+arrows by ten; partly off the screen too, as a drag may.
    const int step = shift == 0 ? 1 : shift == kShift ? 10 : 0;
    if (step && Menu.InmnuLogo[MoveableItem].checked && keyCode >= VK_LEFT && keyCode <= VK_DOWN) {
        RECT now{};
        GetWindowRect(hwnd_, &now);
        const int dx = keyCode == VK_LEFT ? -step : keyCode == VK_RIGHT ? step : 0;
        const int dy = keyCode == VK_UP ? -step : keyCode == VK_DOWN ? step : 0;
        if (selected_) mMain::TellSelection({mMain::SelectionAct::MoveBy, dx, dy});
        else MoveToPixels(now.left + dx, now.top + dy);
    }
    if (keyCode == 'A' && shift == kCtrl && !aboutMode_) mMain::TellSelection({mMain::SelectionAct::SelectShown});
}

void FrmLogo::OnMouseWheel(int delta, bool ctrl, POINT pointer) {
    // Notches already waiting join this one: the picture is drawn once, at where they all lead.
    MSG waiting;
    while (PeekMessageW(&waiting, hwnd_, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE) &&
           ((GET_KEYSTATE_WPARAM(waiting.wParam) & MK_CONTROL) != 0) == ctrl &&
           PeekMessageW(&waiting, hwnd_, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE))
        delta += GET_WHEEL_DELTA_WPARAM(waiting.wParam);
    // The wheel reaches the window with the keyboard; the user means the one under the pointer.
    const HWND under = GetAncestor(WindowFromPoint(pointer), GA_ROOT);
    FrmLogo* target = Find(under);
    if (!target || target->aboutMode_) return;
    target->wheelRest_ += delta;
    const int notches = target->wheelRest_ / WHEEL_DELTA, direction = notches > 0 ? 1 : -1;
    target->wheelRest_ %= WHEEL_DELTA;
    if (notches == 0) return;
    if (ctrl) {
        int item = 9;  // Opacity items are 10 to 100 in steps of 10
        while (item > 0 && !target->Menu.InmnuOpacity[item].checked) --item;
        const int to = std::clamp(item + notches, 0, 9);
        if (to != item) target->OnOpacityItem(to);  // every selected pin's, when it is one of them
    } else if (const auto factor = target->Menu.MarkedFactor()) {
        std::optional<int> preset;
        for (int i = 0; i < notches * direction; ++i)
            if (const auto next = NextSizePreset(preset ? SizePreset(*preset) : *factor, direction)) preset = next;
        // A window locked in place grows from its corner, as with the Size items.
        const bool moveable = target->Menu.InmnuLogo[MoveableItem].checked;
        if (preset) target->OnSizeItem(*preset, moveable ? &pointer : nullptr);
    }
}

void FrmLogo::OnChar(wchar_t character) {
    if (editor_) {
        // Esc ends the drawing here, never closes the pin.
        if (editor_->Char(character, GetKeyState(VK_SHIFT) < 0) == PinEditor::KeyResult::EndsEditing) EndEditing();
        return;
    }
    if (character == L' ' && !aboutMode_) {
        BeginEditing();
        return;
    }
    if (character == 27) {
        CloseReopenably();
        return;  // this object is gone
    }
    // Typed characters rather than keys: "[" and "]" lie elsewhere on other keyboards.
    const std::wstring_view turnKeys = L"[]HV";
    const auto turn = turnKeys.find(static_cast<wchar_t>(std::towupper(character)));
    if (!aboutMode_ && turn != std::wstring_view::npos) OnTurnItem(static_cast<int>(turn));
}

void FrmLogo::OnDoubleClick() { CloseReopenably(); }

void FrmLogo::CloseReopenably() {
    // A selected pin closes with every selected pin of every copy, and Ctrl+Z brings them back as one.
    if (selected_) {
        mMain::TellSelection({mMain::SelectionAct::Close, mMain::NewSelectionBatch()});
        return;  // this pin is gone
    }
    if (!aboutMode_) host_.RememberClosed(hwnd_);
    Unload();
}

void FrmLogo::KeepOnAMonitor() {
    RECT now{}, monitorPart{};
    GetWindowRect(hwnd_, &now);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    // The monitor that shows most of the window, or the nearest; enough of it shown is left be.
    if (!GetMonitorInfoW(MonitorFromRect(&now, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    IntersectRect(&monitorPart, &now, &monitor.rcMonitor);
    if (monitorPart.right - monitorPart.left >= 32 && monitorPart.bottom - monitorPart.top >= 32) return;
    const RECT& m = monitor.rcMonitor;
    const LONG width = now.right - now.left, height = now.bottom - now.top;
    MoveToPixels(std::max(m.left, std::min(now.left, m.right - width)), std::max(m.top, std::min(now.top, m.bottom - height)));
}

void FrmLogo::ShowPopupMenu() {
    POINT at{};
    GetCursorPos(&at);
    const MenuChoice choice = TrackLogoMenu(hwnd_, Menu, at);
    switch (choice.array) {
    case MenuChoice::Logo: OnLogoItem(choice.index); break;
    case MenuChoice::Opacity: OnOpacityItem(choice.index); break;
    case MenuChoice::Size: OnSizeItem(choice.index); break;
    case MenuChoice::Turn: OnTurnItem(choice.index); break;
    case MenuChoice::Group: Group(choice.index + 1); break;
    case MenuChoice::Edge: {
        PinEdge edge = edge_;
        edge.kind = static_cast<EdgeKind>(choice.index);
        // A line takes the colour new pins' lines have, unless this pin had one already.
        if (edge.kind == EdgeKind::Line && edge_.kind != EdgeKind::Line) edge.colour = mMain::LoadPreferences().edge.colour;
        Edge(edge);
        host_.PinsChanged();
        break;
    }
    case MenuChoice::None: break;
    }
}

void FrmLogo::OnLogoItem(int index) {
    switch (index) {
    case TopMostItem: OnTopMostItem(); break;
    case MoveableItem: Menu.InmnuLogo[MoveableItem].checked = !Menu.InmnuLogo[MoveableItem].checked; break;
    case ClickThroughItem: ClickThrough(true); break;
    case DrawItem:
        if (editor_) EndEditing();
        else BeginEditing();
        break;
    case SaveImageItem: SaveImage(); return;  // the dialog ran messages: this pin may be gone
    case CollapseItem: Collapse(!collapsed_); break;
    case RevertItem: RevertMarks(); break;
    case UndoRevertItem: UndoRevert(); break;
    case CopyItem: {
        if (selected_) {
            host_.CopySelection(hwnd_);
            return;  // the copies were asked and answered: this pin may be gone
        }
        const GdiplusSession session;
        std::int32_t width = 0, height = 0;
        std::vector<std::uint8_t> pixels =
            LayeredPNGWindow().RenderedPixels(fileNamePath_, Menu.MarkedFactor().value_or(0), Menu.Turn, Marks, width, height, card_);
        Clipboard::CopyImage(hwnd_, std::move(pixels), width, height, {}, card_);
        break;
    }
    default: {
        // The items that act on the whole copy; some run dialogs, after which this pin may be gone.
        PinHost& host = host_;
        host.CopyCommand(hwnd_, index);
        host.PinsChanged();
        return;
    }
    }
    host_.PinsChanged();
}

void FrmLogo::SaveImage() {
    // The picture as it shows at its own size: turned, marked and cropped, neither sized nor faded.
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    {
        const GdiplusSession session;
        pixels = LayeredPNGWindow().RenderedPixels(fileNamePath_, 1.0f, Menu.Turn, Marks, width, height, card_);
    }
    if (pixels.empty()) return;
    const std::wstring name = mMain::IsOwnTempFile(fileNamePath_) ? std::wstring() : fileNamePath_;
    SaveImageAs(hwnd_, {pixels.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)}, name);
}

void FrmLogo::OnTopMostItem() {
    // A selected pin's choice is every selected pin's, in every copy.
    if (selected_) mMain::TellSelection({mMain::SelectionAct::TopMost, Menu.InmnuLogo[TopMostItem].checked ? 0 : 1});
    else SetTopMostState(!Menu.InmnuLogo[TopMostItem].checked);
}

void FrmLogo::SetTopMostState(bool on) {
    const bool wasTopMost = Menu.InmnuLogo[TopMostItem].checked;
    if (wasTopMost == on) return;
    for (HWND hwnd : LoadedHandles()) {
        FrmLogo* window = Find(hwnd);
        if (!window) continue;
        if (window == this) mMain::SetTopMost(*this, wasTopMost ? 1 : -1);
        else if (window->Menu.InmnuLogo[TopMostItem].checked) mMain::SetTopMost(*window, -1);
    }
    Menu.InmnuLogo[TopMostItem].checked = !wasTopMost;
}

void FrmLogo::OnOpacityItem(int index) {
    if (index < 0 || index > 9) return;
    if (selected_) mMain::TellSelection({mMain::SelectionAct::Opacity, index});
    else ApplyOpacityItem(index);
}

void FrmLogo::ApplyOpacityItem(int index) {
    if (index < 0 || index > 9) return;
    ApplySizeAndOpacity(static_cast<std::int16_t>(10 * (index + 1)), -1);
}

void FrmLogo::OnSizeItem(int index, const POINT* anchor) {
    if (index < 0 || index > CustomSizeIndex) return;
    const bool customShown = Menu.InmnuSize[CustomSizeIndex].visible;
    Menu.InmnuSize[CustomSizeIndex].visible = false;
    if (!ApplySizeAndOpacity(-1, index, anchor)) Menu.InmnuSize[CustomSizeIndex].visible = customShown;
}

void FrmLogo::OnTurnItem(int index) {
    if (index < 0 || index > static_cast<int>(TurnChoice::Reset)) return;
    if (collapsed_) return;
    const Orientation before = Menu.Turn;
    Menu.Turn = Turned(before, static_cast<TurnChoice>(index));
    if (Menu.Turn != before && !ApplySizeAndOpacity(-1, -1, nullptr, true)) Menu.Turn = before;
}

bool FrmLogo::ApplySizeAndOpacity(std::int16_t opacity, int sizeIndex, const POINT* anchor, bool keepCentre) {
    if (collapsed_) return false;  // a tile keeps its size; the pin takes the change once expanded
    LayeredPNGWindow renderer;
    // The marks are the window's settings and "Make single Exe!" stores them: they move
    // only with a picture that was pushed. An image that can no longer be read, or a size
    // no bitmap can take, keeps the picture and the marks the window has.
    std::int32_t width = 0, height = 0;
    if (!renderer.PNGFileSize(fileNamePath_, width, height, &kept_)) return false;
    const PixelRect shown = Marks.Shown(width, height);  // a cropped pin is sized by what it shows
    width = shown.Width();
    height = shown.Height();
    const LogoMenu before = Menu;
    const auto rendering = Menu.ChooseSizeAndOpacity(opacity, sizeIndex);
    const auto alpha = rendering ? AlphaFromOpacity(rendering->opacity) : std::nullopt;
    if (Menu.Turn.SwapsSides()) std::swap(width, height);
    POINT topLeft{};
    if (rendering && (anchor || keepCentre)) {
        RECT now{};
        GetWindowRect(hwnd_, &now);
        const std::int32_t newWidth = ScaledSide(rendering->factor, width).value_or(0);
        const std::int32_t newHeight = ScaledSide(rendering->factor, height).value_or(0);
        const POINT centre{now.left + (now.right - now.left) / 2, now.top + (now.bottom - now.top) / 2};
        const POINT& at = anchor ? *anchor : centre;
        topLeft = {ZoomedEdge(at.x, now.left, now.right - now.left, newWidth), ZoomedEdge(at.y, now.top, now.bottom - now.top, newHeight)};
    }
    if (!rendering || !alpha || !(rendering->factor > 0) ||
        !renderer.MakeTrans(fileNamePath_, Target(), *alpha, rendering->factor, false, anchor || keepCentre ? &topLeft : nullptr, KeptAWhile())) {
        Menu = before;
        return false;
    }
    if (editor_ && !editor_->Rebuild(false)) EndEditing();
    host_.PinsChanged();
    return true;
}

void FrmLogo::OnImagesDropped(const DroppedImages& dropped, POINT at) {
    PinHost& host = host_;  // opening runs messages: this pin may be gone after the first
    if (!dropped.files.empty()) host.OpenFiles(dropped.files);
    for (const std::wstring& file : dropped.ownFiles) host.PinOwnFile(file, at);
}

}  // namespace velvane
