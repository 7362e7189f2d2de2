#pragma once
// The small window of tools, colours and widths beside a pin being drawn on. It never takes
// the keyboard: keys keep going to the pin.

#include "common/Scoped.h"

#include <cstdint>

#include "core/Marks.h"

namespace velvane {

class EditToolbar {
public:
    // What the user chose on it.
    struct Events {
        virtual void OnToolChosen(MarkTool tool) = 0;
        virtual void OnColourChosen(std::uint32_t rgb) = 0;
        virtual void OnMoreColours() = 0;          // "More...": the pin asks with the colour dialog
        virtual void OnWidthStep(int direction) = 0;  // -1 or +1
        virtual void OnToolbarDone() = 0;          // its "Done" button: editing ends

    protected:
        ~Events() = default;
    };

    // A hidden toolbar owned by the pin; hWnd() is null when the system refuses the window.
    EditToolbar(HWND pin, Events& events);
    ~EditToolbar();
    EditToolbar(const EditToolbar&) = delete;
    EditToolbar& operator=(const EditToolbar&) = delete;

    HWND hWnd() const { return hwnd_.get(); }
    // Shown below the pin's screen rectangle, or above it when there is no room below; never
    // off the pin's monitor. Not activated.
    void PlaceBeside(const RECT& pin);
    // The tool pressed, the colour framed, the width shown.
    void ShowState(MarkTool tool, std::uint32_t colour, int width);

private:
    // Tools, swatches, then "More...", "-", the width, "+", "Done".
    static constexpr int kToolCount = 9, kSwatchCount = 8;
    static constexpr int kMore = kToolCount + kSwatchCount, kThinner = kMore + 1, kWidthText = kMore + 2,
                         kThicker = kMore + 3, kDone = kMore + 4, kControlCount = kMore + 5;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // Font, controls and window sized for a monitor of these pixels per inch.
    void Layout(int dpi);
    void MoveBeside(const RECT& pin);
    void DrawSwatch(const DRAWITEMSTRUCT& item, int swatch) const;
    void Clicked(int control);

    Events& events_;
    HWND pin_;
    ScopedFont font_;  // before the window: the controls show it until they are gone
    HWND controls_[kControlCount] = {};  // the window's children, gone with it
    ScopedWindow tips_;
    int dpi_ = 0;
    SIZE size_{};
    bool placed_ = false;
    RECT pinRect_{};
    bool stateShown_ = false;
    int tool_ = -1, swatch_ = -1, width_ = 0;  // as shown: a button, a swatch (-1 none), pixels
    // Last, so it goes first, while every member its messages use is still there.
    ScopedWindow hwnd_;
};

}  // namespace velvane
