#include "pin/PinEditor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <string_view>

#include "core/ImageLimits.h"
#include "core/ScaleArithmetic.h"
#include "image/ImageSource.h"
#include "image/MarkPainter.h"
#include "pin/FrmLogo.h"
#include "system/LayeredPush.h"
#include "system/TopDownBitmap.h"

namespace velvane {
PinEditor::PinEditor(FrmLogo& pin) : pin_(pin) {}

std::unique_ptr<PinEditor> PinEditor::Start(FrmLogo& pin) {
    std::unique_ptr<PinEditor> editor(new PinEditor(pin));
    editor->dc_.reset(CreateCompatibleDC(nullptr));
    if (!editor->dc_ || !editor->gdiplus_.started() || !editor->Rebuild(false)) return nullptr;
    editor->toolbar_ = std::make_unique<EditToolbar>(pin.hWnd(), static_cast<EditToolbar::Events&>(*editor));
    editor->ShowState();
    RECT now{};
    GetWindowRect(pin.hWnd(), &now);
    editor->toolbar_->PlaceBeside(now);
    return editor;
}

bool PinEditor::Rebuild(bool keepPlace) {
    LogoMenu menu = pin_.Menu;
    const auto rendering = menu.ChooseSizeAndOpacity(-1, -1);
    const auto alpha = rendering ? AlphaFromOpacity(rendering->opacity) : std::nullopt;
    if (!alpha) return false;
    KeptPicture* keep = pin_.KeptAWhile();
    const std::wstring& path = pin_.FileNamePath();
    std::unique_ptr<ImageSource> image = keep->Holds(path) ? nullptr : std::make_unique<ImageSource>(path);
    const auto [width, height] = image ? image->Size() : std::pair{keep->Width(), keep->Height()};
    if (width <= 0 || height <= 0) return false;
    const std::optional<MarkView> view = MarkView::Of(pin_.Marks.Shown(width, height), rendering->factor, pin_.Menu.Turn);
    if (!view) return false;

    if (!ImageSizeFits(view->windowWidth, view->windowHeight)) return false;

    RECT now{};
    GetWindowRect(pin_.hWnd(), &now);
    const WindowShift shift = keepPlace && view_.windowWidth > 0 ? ShiftForShown(view_, *view) : WindowShift{};
    // Drawn into new bitmaps when the size changes, taken only once drawn: a failure leaves the
    // editor with the picture, bitmaps and view it had.
    const bool resized = !layer_ || view->windowWidth != view_.windowWidth || view->windowHeight != view_.windowHeight;
    void *layerBits = layerBits_, *frontBits = frontBits_;
    ScopedBitmap layer, front;
    if (resized) {
        layer = TopDownBitmap(view->windowWidth, view->windowHeight, layerBits);
        if (layer) front = TopDownBitmap(view->windowWidth, view->windowHeight, frontBits);
        if (!front) return false;
    }
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(view->windowWidth);
    if (!RenderMarked(image.get(), {static_cast<std::uint8_t*>(layerBits), view->windowWidth, view->windowHeight, stride}, *view,
                      pin_.Marks, keep, path))
        return false;
    if (resized) {
        selection_.reset();
        layer_ = std::move(layer);
        front_ = std::move(front);
        layerBits_ = layerBits;
        frontBits_ = frontBits;
        selection_.Select(dc_.get(), front_.get());
    }
    view_ = *view;
    alpha_ = *alpha;
    const POINT topLeft{now.left + shift.dx, now.top + shift.dy};
    const bool moves = topLeft.x != now.left || topLeft.y != now.top || view_.windowWidth != now.right - now.left ||
                       view_.windowHeight != now.bottom - now.top;
    if (moves)
        SetWindowPos(pin_.hWnd(), nullptr, topLeft.x, topLeft.y, view_.windowWidth, view_.windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPreview(moves ? &topLeft : nullptr);
    return true;
}

void PinEditor::Push(const POINT* topLeft) { PushLayered(pin_.hWnd(), dc_.get(), {view_.windowWidth, view_.windowHeight}, topLeft, alpha_); }

void PinEditor::ShowPreview(const POINT* topLeft) {
    if (!front_) return;
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(view_.windowWidth);
    std::memcpy(frontBits_, layerBits_, static_cast<std::size_t>(stride) * static_cast<std::size_t>(view_.windowHeight));
    const Pixels front{static_cast<std::uint8_t*>(frontBits_), view_.windowWidth, view_.windowHeight, stride};
    if (dragging_ && drag_.tool == MarkTool::Blur) {
        // Blocks are worked out once the area is let go; meanwhile its outline shows.
        Mark outline{MarkTool::Rectangle, 0x808080, 1, drag_.points, {}};
        outline.width = std::max(1, static_cast<int>(std::lround(1 / std::min(view_.ScaleX(), view_.ScaleY()))));
        PaintMarks(front, view_, &outline, 1);
    } else if (dragging_ && drag_.tool == MarkTool::Crop) {
        PaintCropPreview(front, view_, CoveredPixels(drag_.points[0], drag_.points[1], view_.shown));
    } else if (dragging_) {
        PaintMarks(front, view_, &drag_, 1);
    }
    if (crop_ && !(dragging_ && drag_.tool == MarkTool::Crop)) PaintCropPreview(front, view_, *crop_);
    if (text_) PaintMarks(front, view_, &*text_, 1, /*caret*/ true);
    Push(topLeft);
}

MarkPoint PinEditor::PicturePoint(POINT at) const {
    MarkPoint point = view_.ToPicture({static_cast<float>(at.x) + 0.5f, static_cast<float>(at.y) + 0.5f});
    // A drag may go far past the window: held within a picture's width or height of the part shown.
    const PixelRect& s = view_.shown;
    point.x = std::clamp(point.x, static_cast<float>(s.left - s.Width()), static_cast<float>(s.right + s.Width()));
    point.y = std::clamp(point.y, static_cast<float>(s.top - s.Height()), static_cast<float>(s.bottom + s.Height()));
    return point;
}

Mark PinEditor::Current(MarkPoint to, bool shift) const {
    Mark mark = drag_;
    if (mark.tool == MarkTool::Pen || mark.tool == MarkTool::Marker) {
        if (mark.points.back() != to && mark.points.size() < kMaxMarkPoints) mark.points.push_back(to);
        return mark;
    }
    const MarkPoint from = mark.points.front();
    if (shift && (mark.tool == MarkTool::Line || mark.tool == MarkTool::Arrow)) to = SnapTo45(from, to);
    if (shift && (mark.tool == MarkTool::Rectangle || mark.tool == MarkTool::Ellipse)) to = SquareCorner(from, to);
    mark.points = {from, to};
    return mark;
}

void PinEditor::PointerDown(POINT at, bool) {
    Finish(false);
    const MarkPoint point = PicturePoint(at);
    if (tool_ == MarkTool::Text) {
        // The caret's line stands where the user clicked.
        Mark text{MarkTool::Text, colour_, 1, {point}, {}};
        text.width = std::clamp(static_cast<int>(std::lround(MessageFontHeight() * width_ / double{kDefaultMarkWidth} / view_.ScaleY())),
                                1, kMaxTextMarkHeight);
        text.points[0].y -= static_cast<float>(text.width) / 2;
        text_ = std::move(text);
        ShowPreview();
        return;
    }
    // A crop chosen stays through a press: a double-click applies it, a new drag replaces it.
    if (tool_ != MarkTool::Crop) crop_.reset();
    dragging_ = true;
    drag_ = Mark{tool_, colour_, width_, {point}, {}};
    if (tool_ != MarkTool::Pen && tool_ != MarkTool::Marker) drag_.points.push_back(point);
    SetCapture(pin_.hWnd());
    ShowPreview();
}

void PinEditor::PointerMove(POINT at, bool shift) {
    if (!dragging_) return;
    drag_ = Current(PicturePoint(at), shift);
    ShowPreview();
}

void PinEditor::PointerUp(POINT at, bool shift) {
    if (!dragging_) return;
    drag_ = Current(PicturePoint(at), shift);
    dragging_ = false;
    if (GetCapture() == pin_.hWnd()) ReleaseCapture();
    const bool moved = drag_.points.front() != drag_.points.back() || drag_.tool == MarkTool::Pen || drag_.tool == MarkTool::Marker;
    const PixelRect area = CoveredPixels(drag_.points.front(), drag_.points.back(), view_.shown);
    if (drag_.tool == MarkTool::Crop) {
        // A press without a drag (a double-click's first) keeps the crop chosen before.
        const MarkPoint a = view_.ToWindow(drag_.points.front()), b = view_.ToWindow(drag_.points.back());
        const bool dragged = std::fabs(a.x - b.x) >= GetSystemMetrics(SM_CXDRAG) || std::fabs(a.y - b.y) >= GetSystemMetrics(SM_CYDRAG);
        if (dragged && !area.Empty() && !(area == view_.shown)) crop_ = area;
        ShowPreview();
    } else if (moved && !(drag_.tool == MarkTool::Blur && area.Empty())) {
        Commit(drag_);
    } else {
        ShowPreview();
    }
}

void PinEditor::Commit(Mark mark) {
    if (!pin_.Marks.Add(mark)) {  // more than a pin keeps: the preview goes, nothing is kept
        ShowPreview();
        return;
    }
    if (mark.tool == MarkTool::Blur) {
        Rebuild(false);  // blocks are worked out from the picture's own pixels
    } else {
        // One mark drawn into the layer: the marks before it are never drawn again.
        const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(view_.windowWidth);
        PaintMarks({static_cast<std::uint8_t*>(layerBits_), view_.windowWidth, view_.windowHeight, stride}, view_, &mark, 1);
        ShowPreview();
    }
    pin_.MarksChanged();
}

bool PinEditor::ApplyCrop() {
    if (!crop_) return false;
    const PixelRect kept = *crop_;
    crop_.reset();
    Mark crop{MarkTool::Crop, colour_, 1, {}, {}};
    crop.points = {{static_cast<float>(kept.left), static_cast<float>(kept.top)}, {static_cast<float>(kept.right), static_cast<float>(kept.bottom)}};
    if (!pin_.Marks.Add(std::move(crop))) return true;
    if (Rebuild(true)) pin_.MarksChanged();
    else pin_.Marks.Undo(), pin_.Marks.ForgetRedo();  // a window that cannot be drawn: no crop is made
    return true;
}

void PinEditor::Finish(bool push) {
    if (push) crop_.reset();  // the drawing ends: a crop not applied goes
    if (text_ && !text_->text.empty()) {
        const Mark text = std::move(*text_);
        text_.reset();
        Commit(text);
    }
    text_.reset();
    if (push) ShowPreview();
}

// A step whose picture cannot be drawn (a window beyond memory) is taken back at once.
void PinEditor::Undo() {
    Finish(false);
    crop_.reset();
    if (!pin_.Marks.Undo()) return;
    if (Rebuild(true)) pin_.MarksChanged();
    else pin_.Marks.Redo();
}

void PinEditor::Redo() {
    Finish(false);
    crop_.reset();
    if (!pin_.Marks.Redo()) return;
    if (Rebuild(true)) pin_.MarksChanged();
    else pin_.Marks.Undo();
}

PinEditor::KeyResult PinEditor::Char(wchar_t character, bool shift) {
    if (Typing()) {
        if (character == 27) {
            Finish(true);
            return KeyResult::EndsEditing;
        }
        if (character == L'\r' && !shift) Finish(true);
        else if (character == L'\r' && text_->text.size() < kMaxMarkText) text_->text += L'\n';
        else if (character == L'\b' && !text_->text.empty()) text_->text.pop_back();
        else if (character >= 32 && text_->text.size() < kMaxMarkText) text_->text += character;
        ShowPreview();
        return KeyResult::Used;
    }
    if (character == 27 || character == L' ') return KeyResult::EndsEditing;
    if (character == L'\r') return ApplyCrop() ? KeyResult::Used : KeyResult::EndsEditing;
    // Typed characters, as the turn keys are: the tool's letter wherever the layout puts it.
    constexpr std::wstring_view toolKeys = L"PMLARETBC";
    const auto tool = toolKeys.find(static_cast<wchar_t>(std::towupper(character)));
    if (tool != std::wstring_view::npos) OnToolChosen(static_cast<MarkTool>(tool + 1));
    else if (character >= L'1' && character <= L'8') OnColourChosen(kMarkColours[character - L'1']);
    else if (character == L'+' || character == L'=') OnWidthStep(1);
    else if (character == L'-') OnWidthStep(-1);
    return KeyResult::Used;
}

void PinEditor::ChooseColour(std::uint32_t rgb) { OnColourChosen(rgb); }

void PinEditor::OnToolChosen(MarkTool tool) {
    Finish(false);
    crop_.reset();
    tool_ = tool;
    ShowState();
    ShowPreview();
}

void PinEditor::OnColourChosen(std::uint32_t rgb) {
    colour_ = rgb & 0xFFFFFF;
    if (text_) text_->colour = colour_;
    ShowState();
    if (text_) ShowPreview();
}

void PinEditor::OnWidthStep(int direction) {
    width_ = std::clamp(width_ + direction, kMinMarkWidth, kMaxMarkWidth);
    ShowState();
}

// Both come from the toolbar's own messages: the pin acts once they have returned.
void PinEditor::OnMoreColours() { PostMessageW(pin_.hWnd(), FrmLogo::kChooseColourMessage, 0, 0); }
void PinEditor::OnToolbarDone() { PostMessageW(pin_.hWnd(), FrmLogo::kEndEditingMessage, 0, 0); }

void PinEditor::ShowState() {
    if (toolbar_) toolbar_->ShowState(tool_, colour_, width_);
}

HCURSOR PinEditor::Cursor() const { return LoadCursorW(nullptr, tool_ == MarkTool::Text ? IDC_IBEAM : IDC_CROSS); }

}  // namespace velvane
