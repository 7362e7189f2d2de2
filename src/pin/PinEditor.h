#pragma once
// A pin being drawn on: the tool, colour and width chosen, the mark being made, and the
// window's picture with every mark kept as a layer, so that a stroke costs one push of the
// window, whatever the number of marks before it.

#include "common/Scoped.h"

#include <cstdint>
#include <memory>
#include <optional>

#include "core/Marks.h"
#include "pin/EditToolbar.h"
#include "system/GdiPlus.h"

namespace velvane {

class FrmLogo;

class PinEditor : private EditToolbar::Events {
public:
    // Null when the picture cannot be drawn for editing (unreadable, beyond memory).
    static std::unique_ptr<PinEditor> Start(FrmLogo& pin);
    ~PinEditor() = default;
    PinEditor(const PinEditor&) = delete;
    PinEditor& operator=(const PinEditor&) = delete;

    // The pointer in the window's client pixels.
    void PointerDown(POINT at, bool shift);
    void PointerMove(POINT at, bool shift);
    void PointerUp(POINT at, bool shift);
    // A double-click: applies a crop being chosen; false when there was none.
    bool ApplyCrop();

    enum class KeyResult { Used, EndsEditing };
    KeyResult Char(wchar_t character, bool shift);
    void Undo();
    void Redo();
    void ChooseColour(std::uint32_t rgb);
    std::uint32_t Colour() const { return colour_; }

    // Drawn again from the picture and its marks, at the window's size, turn and opacity now
    // (after Size, the wheel, a turn, an undo or a crop); false when it cannot be.
    // keepPlace: the marks changed what part of the picture shows, which stays where it was on the screen.
    bool Rebuild(bool keepPlace);
    // The text being typed, not yet a mark; null when none is.
    const Mark* TypedText() const { return text_ ? &*text_ : nullptr; }
    // A text being typed becomes a mark; with push, the window shows no preview any more.
    void Finish(bool push);

    HCURSOR Cursor() const;
    HWND Toolbar() const { return toolbar_ ? toolbar_->hWnd() : nullptr; }
    void PlaceToolbar(const RECT& pin) {
        if (toolbar_) toolbar_->PlaceBeside(pin);
    }

private:
    explicit PinEditor(FrmLogo& pin);
    void OnToolChosen(MarkTool tool) override;
    void OnColourChosen(std::uint32_t rgb) override;
    void OnMoreColours() override;
    void OnWidthStep(int direction) override;
    void OnToolbarDone() override;

    // The layer (picture and marks) with the mark being made over it, pushed.
    void ShowPreview(const POINT* topLeft = nullptr);
    void Push(const POINT* topLeft = nullptr);
    void Commit(Mark mark);
    MarkPoint PicturePoint(POINT at) const;
    Mark Current(MarkPoint to, bool shift) const;
    bool Typing() const { return text_.has_value(); }
    void ShowState();

    FrmLogo& pin_;
    GdiplusSession gdiplus_;
    std::unique_ptr<EditToolbar> toolbar_;
    MarkTool tool_ = MarkTool::Pen;
    std::uint32_t colour_ = kMarkColours[0];
    int width_ = kDefaultMarkWidth;

    MarkView view_;
    std::uint8_t alpha_ = 255;
    // Declared so that the front bitmap leaves the DC before the bitmaps go, and they before the DC.
    ScopedMemoryDC dc_;
    ScopedBitmap layer_, front_;  // the picture with every mark; what is pushed
    ScopedSelection selection_;
    void* layerBits_ = nullptr;
    void* frontBits_ = nullptr;

    bool dragging_ = false;
    Mark drag_;                            // the mark being dragged out
    std::optional<PixelRect> crop_;        // a crop chosen, not yet applied
    std::optional<Mark> text_;             // a text being typed
};

}  // namespace velvane
