#pragma once
// The window that shows one image; the about window is one too.

#include "common/Scoped.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/LogoMenu.h"
#include "core/Marks.h"
#include "core/Preferences.h"
#include "image/KeptPicture.h"
#include "image/LayeredPNGWindow.h"
#include "pin/PinHost.h"
#include "system/DroppedFiles.h"

namespace velvane {
class Animation;
class PinEditor;
class PinRing;

class FrmLogo {
public:

    // Creates a hidden window of the copy that host stands for, and adds it to the loaded
    // windows; nullptr when the system refuses the window.
    static FrmLogo* Load(PinHost& host);

    // The loaded windows, in load order.
    static const std::vector<FrmLogo*>& Loaded();
    // The loaded window of a handle; nullptr once it is gone. Handles, not addresses,
    // tell whether a window survived pumped messages: a new window may reuse an address.
    static FrmLogo* Find(HWND hwnd);
    static std::vector<HWND> LoadedHandles();

    // Runs the unload steps once, then destroys the window and this object.
    void Unload();

    // Takes down a window that never opened: its list entry (if it was listed) goes,
    // and nothing the user would see as a window closing happens (no last-window rule).
    void Discard(bool listed);

    HWND hWnd() const { return hwnd_; }

    bool ShUnload = false;
    LogoMenu Menu;
    // What the user drew on the picture; stored with the other settings.
    PinMarks Marks;

    // 1 accepts dropped files, 0 does not.
    int OLEDropMode() const { return oleDropMode_; }
    void OLEDropMode(int mode);

    bool AboutMode() const { return aboutMode_; }
    void AboutMode(bool value) { aboutMode_ = value; }
    const std::wstring& FileNamePath() const { return fileNamePath_; }
    // A card's text, which it is drawn from at every size (its file holds the card at size 1);
    // empty for an image. Stored with the other settings.
    const std::wstring& Card() const { return card_; }
    void Card(std::wstring text) { card_ = std::move(text); }
    void FileNamePath(const std::wstring& value) { fileNamePath_ = value; }

    // Position in twips, as the command line and packages give it; size in pixels.
    double LeftTwips() const;
    double TopTwips() const;
    void MoveToTwips(int left, int top);
    void MoveToPixels(int left, int top);
    int Width() const;
    int Height() const;
    void Resize(int width, int height);

    // Puts a window that is not top-most at the bottom of the window order again a
    // moment from now, after the system has finished showing it.
    void SettleAtBottomSoon();

    // Moves the window with the pointer until the left button is released.
    void BeginDrag();

    // What the user does to the window; also called by tests as the user would.
    void OnMouseDown(int button);
    void OnMouseMove(int buttons);
    void OnKeyDown(int keyCode, int shift);
    void OnChar(wchar_t character);
    void OnDoubleClick();
    void OnLogoItem(int index);
    void OnOpacityItem(int index);
    // anchor: a screen point that keeps the image point under it (zooming by wheel).
    void OnSizeItem(int index, const POINT* anchor = nullptr);
    // Turns the picture about the window's centre (a TurnChoice).
    void OnTurnItem(int index);
    // Files open as they are; own files (virtual files, image data) are pinned at the point.
    void OnImagesDropped(const DroppedImages& dropped, POINT at);
    // A wheel turn of delta (120 a notch) with the pointer at a screen point.
    void OnMouseWheel(int delta, bool ctrl, POINT pointer);
    // The screens changed: a window left with less than 32 x 32 pixels on every monitor
    // moves onto the nearest, keeping its size.
    void KeepOnAMonitor();

    // Lets every click through to what lies beneath, or takes the mouse again. Not one of
    // the window's stored settings.
    bool ClickThrough() const { return clickThrough_; }
    void ClickThrough(bool on);

    // Plays the window's picture when it is an animation, from the frame shown now on;
    // anything that draws the picture again starts it afresh.
    void Animate(std::uint8_t alpha);

    // This window as the renderer pushes to it.
    PushTarget Target();

    // What a drawing keeps for the next (the wheel's next notch, a Size chosen after the
    // window opened), let go in a while or when another window keeps its own: the bitmap
    // a moment (the wheel's and the menu's next step), the picture while the user may come
    // back to the window. Each goes when its timer comes.
    KeptPicture* KeptAWhile();
    static constexpr UINT_PTR kKeptPictureTimer = 3, kKeptSurfaceTimer = 4, kAnimationTimer = 2;

    // When its file is gone while the window still keeps the picture it shows, that picture
    // becomes a PNG file of our own that the window shows from then on: its pin set never
    // stores it empty, and Size still works.
    void KeepPictureOfGoneFile();

    // Hidden from the screen (all windows hidden at once); nothing but Show brings it back.
    bool Hidden() const { return hidden_; }
    void Hide(bool hidden);

    // Collapsed to a small tile that shows the whole picture (Shift+double-click, "Collapse"), or
    // expanded again as it was; the wheel, Size, Opacity, Turn and Draw wait until it is expanded.
    bool Collapsed() const { return collapsed_; }
    void Collapse(bool on);

    // Selected with others (Ctrl+click, Ctrl+A), across copies: framed, and moved, closed, copied
    // and set with them. Never stored.
    bool Selected() const { return selected_; }
    void Select(bool on);

    // The pin's group, 1 to 9: it shows while its group, or every group, is shown.
    int Group() const { return group_; }
    void Group(int group);

    // A line or a soft shadow around the window, never part of its picture; stored with the
    // other settings.
    const PinEdge& Edge() const { return edge_; }
    void Edge(const PinEdge& edge);

    // Drawing on the picture (Space, "Draw"): keys, pointer and wheel go to the marks until it ends.
    bool Editing() const { return editor_ != nullptr; }
    void BeginEditing();
    // Every mark made is kept; the window shows the picture with them.
    void EndEditing();
    // The marks as stored now: with a text still being typed as the last of them.
    PinMarks MarksToStore() const;
    // A mark was made or taken back: the menu and the copy's set follow.
    void MarksChanged();
    // "Revert to Original" and "Undo Revert"; the window shows the part of the picture the
    // marks leave, which stays where it was on the screen.
    void RevertMarks();
    void UndoRevert();
    // Posted by the editor, so that its toolbar's message has returned before the pin acts.
    static constexpr UINT kChooseColourMessage = WM_APP + 2, kEndEditingMessage = WM_APP + 3;

    FrmLogo(const FrmLogo&) = delete;
    FrmLogo& operator=(const FrmLogo&) = delete;

private:
    explicit FrmLogo(PinHost& host);
    ~FrmLogo();

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePointer(UINT message, WPARAM wParam, LPARAM lParam);
    void RunUnloadSteps();
    // False, with the menu as it was, when the new picture could not be shown.
    // The picture stays centred where it was when keepCentre, else keeps its top-left.
    bool ApplySizeAndOpacity(std::int16_t opacity, int sizeIndex, const POINT* anchor = nullptr, bool keepCentre = false);
    void ShowPopupMenu();
    // Esc and double-click: closed, and remembered so that Ctrl+Z brings it back.
    void CloseReopenably();
    void OnTopMostItem();
    void SetTopMostState(bool on);
    void ApplyOpacityItem(int index);
    void OnSelectionMessage(WPARAM wParam, LPARAM lParam);
    // The pointer moved during a Ctrl+press: far enough, the picture is dragged out as a file.
    void OnCtrlPressMove(POINT screen);
    // Drags the picture out as it shows; runs messages, after which this pin may be gone.
    void DragOut();
    // Ctrl+C over a selection: this pin's picture as it shows, handed to the asking copy.
    void GivePicture(int batch, DWORD to);
    void LetKeptGo();
    // A change of the marks outside editing (false: none made), drawn at once.
    void ChangeMarks(bool (*change)(PinMarks&));
    void ChooseEditingColour();
    // "Save Image As...": runs the Save dialog, after which this pin may be gone.
    void SaveImage();

    PinHost& host_;
    HWND hwnd_ = nullptr;
    bool aboutMode_ = false;
    int oleDropMode_ = 0;
    bool clickThrough_ = false;
    bool hidden_ = false;
    int group_ = 1;
    bool collapsed_ = false;
    bool selected_ = false;
    std::unique_ptr<PinRing> frame_;
    PinEdge edge_;
    std::unique_ptr<PinRing> edgeRing_;
    bool ctrlPress_ = false;        // a Ctrl+press: a click selects, a drag takes the picture out
    POINT pressAt_{};
    bool draggingSelection_ = false;  // moved by the user with the other selected pins following
    bool draggingOut_ = false;
    POINT dragFrom_{};
    int wheelRest_ = 0;  // a high-resolution wheel's turn short of a notch
    DroppedImages dropped_;
    std::wstring fileNamePath_;
    std::wstring card_;
    std::unique_ptr<Animation> animation_;
    KeptPicture kept_;  // let go a while after the last drawing that used it
    std::unique_ptr<PinEditor> editor_;
    bool choosingColour_ = false;  // the colour dialog, which the pin owns, may take the keyboard
    std::array<COLORREF, 16> customColours_{};  // the colour dialog's own
    static constexpr UINT kKeptPictureMs = 30000, kKeptSurfaceMs = 3000;
};

// The screen's twips per pixel, horizontally and vertically.
double TwipsPerPixelX();
double TwipsPerPixelY();

namespace mMain {
// True while the about window exists.
extern bool AboutOpen;

// InsertAfter: -1 enters the top-most band, 1 goes to the bottom of the window order.
void SetTopMost(FrmLogo& Window, std::int32_t InsertAfter);
}  // namespace mMain

}  // namespace velvane
