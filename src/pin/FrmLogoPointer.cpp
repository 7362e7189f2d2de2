// What a logo window does with the left button and the pointer: draws while it is drawn on,
// selects or drags its picture out with Ctrl, moves otherwise.

#include <windowsx.h>

#include "pin/FrmLogo.h"
#include "pin/PinEditor.h"
#include "system/PinSelection.h"

namespace velvane {
namespace {

int MouseButtons(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

}  // namespace

LRESULT FrmLogo::HandlePointer(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    // With double-clicks on for the class, a quick second press arrives as a double-click
    // message: it is a press all the same.
    case WM_LBUTTONDOWN:
        if (editor_) {
            editor_->PointerDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        } else if ((wParam & MK_CONTROL) != 0 && !aboutMode_) {
            ctrlPress_ = true;  // a click selects, a drag takes the picture out
            GetCursorPos(&pressAt_);
        } else {
            // A plain click on a pin that is not selected ends the selection of every copy.
            if (!selected_ && !aboutMode_ && mMain::AnySelected()) mMain::TellSelection({mMain::SelectionAct::Clear});
            OnMouseDown(1);
        }
        return 0;
    case WM_LBUTTONUP:
        if (editor_) editor_->PointerUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        if (ctrlPress_) {
            ctrlPress_ = false;
            Select(!selected_);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (editor_) {
            editor_->PointerMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        } else if (ctrlPress_) {
            POINT at{};
            GetCursorPos(&at);
            if ((wParam & MK_LBUTTON) != 0) OnCtrlPressMove(at);  // which may end this window
            else ctrlPress_ = false;
        } else {
            OnMouseMove(MouseButtons(wParam));
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        // Two quick Ctrl+clicks are two clicks of the selection, never a close of it.
        if (!editor_ && (wParam & MK_CONTROL) != 0 && !aboutMode_) {
            ctrlPress_ = true;
            GetCursorPos(&pressAt_);
            return 0;
        }
        // While drawing, a double-click applies a crop, or is a press like any other: never a close.
        if (editor_ && !editor_->ApplyCrop()) editor_->PointerDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        if (editor_) return 0;
        // Shift+double-click collapses or expands; a plain one expands a tile rather than close it.
        if ((wParam & MK_SHIFT) != 0 || collapsed_) {
            Collapse(!collapsed_);
            return 0;
        }
        OnMouseDown(1);
        OnDoubleClick();
        return 0;
    case WM_SETCURSOR:
        if (!editor_ || LOWORD(lParam) != HTCLIENT) return DefWindowProcW(hwnd_, message, wParam, lParam);
        SetCursor(editor_->Cursor());
        return TRUE;
    case WM_CAPTURECHANGED:  // a drag cut short (another program took the mouse) keeps what it drew
        if (editor_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(hwnd_, &at);
            editor_->PointerUp(at, false);
        }
        return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

}  // namespace velvane
