#include "pin/FrmLogo.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <string>

#include "common/ProgramTexts.h"
#include "core/Placement.h"
#include "image/Animation.h"
#include "pin/LogoDropTarget.h"
#include "pin/PinEditor.h"
#include "pin/PinRing.h"
#include "system/MessagePump.h"
#include "system/PinSelection.h"
#include "system/RunningCopies.h"
#include "system/ShownGroup.h"
#include "system/TempFiles.h"
#include "system/WindowRegistry.h"

namespace velvane {

bool mMain::AboutOpen = false;

namespace {

std::vector<FrmLogo*>& LoadedWindows() {
    static std::vector<FrmLogo*> windows;
    return windows;
}

bool RegisterLogoClass(WNDPROC windowProc) {
    static const bool registered = [windowProc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        wc.lpszClassName = LogoWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// Dropped files are opened after the drop has returned, so the program they came from
// is not kept waiting while the new windows fade in.
constexpr UINT kOpenDroppedFiles = WM_APP + 1;
constexpr UINT_PTR kSettleTimer = 1, kFocusCheckTimer = 5;

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

std::wstring Widened(const char* what) {
    std::wstring text;
    for (const char* c = what; c && *c; ++c) text.push_back(static_cast<unsigned char>(*c));
    return text;
}

}  // namespace

FrmLogo* FrmLogo::Load(PinHost& host) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterLogoClass(&FrmLogo::WindowProc)) return nullptr;

    FrmLogo* window = new FrmLogo(host);
    // A tool window keeps the taskbar free of one button per pinned image.
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, LogoWindowClass, ProgramTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleW(nullptr), window);
    if (!hwnd) {
        delete window;
        return nullptr;
    }
    LoadedWindows().push_back(window);
    return window;
}

const std::vector<FrmLogo*>& FrmLogo::Loaded() { return LoadedWindows(); }

FrmLogo* FrmLogo::Find(HWND hwnd) {
    const auto& all = LoadedWindows();
    const auto found = std::find_if(all.begin(), all.end(), [hwnd](const FrmLogo* w) { return w->hwnd_ == hwnd; });
    return found == all.end() ? nullptr : *found;
}

std::vector<HWND> FrmLogo::LoadedHandles() {
    std::vector<HWND> handles;
    for (const FrmLogo* window : LoadedWindows()) handles.push_back(window->hwnd_);
    return handles;
}

void FrmLogo::Unload() {
    if (ShUnload) return;
    RunUnloadSteps();
    DestroyWindow(hwnd_);
}

void FrmLogo::Discard(bool listed) {
    if (ShUnload) return;
    ShUnload = true;
    try {
        if (listed) mMain::UpdateWindowRegistry(hwnd_, false);
    } catch (const std::exception&) {
    }
    if (aboutMode_) mMain::AboutOpen = false;
    edgeRing_.reset();  // its windows go before the pin that owns them
    frame_.reset();
    DestroyWindow(hwnd_);
}

void FrmLogo::RunUnloadSteps() {
    ShUnload = true;
    // A text being typed is kept with the others; nothing is pushed to a window going away.
    if (editor_) editor_->Finish(false);
    editor_.reset();
    frame_.reset();
    edgeRing_.reset();
    try {
        mMain::UpdateWindowRegistry(hwnd_, false);
    } catch (const std::exception&) {
        // The window closes all the same; a registry out of reach must not keep it open.
    }
    if (aboutMode_ && mMain::AboutOpen) mMain::AboutOpen = false;
    const auto others = [this](auto test) {
        return std::any_of(LoadedWindows().begin(), LoadedWindows().end(), [&](const FrmLogo* w) { return w != this && test(w); });
    };
    // The last image window closed ends the copy: its pin set is retired as it was, this window's
    // image read before its file goes.
    host_.PinLeaves(!aboutMode_ && !others([](const FrmLogo* w) { return !w->AboutMode(); }));
    // The picture goes before its file, so nothing holds the file as it is deleted. Restored
    // windows that shared an image share its file: it goes with the last of them.
    KillTimer(hwnd_, kAnimationTimer);
    animation_.reset();
    if (mMain::IsOwnTempFile(fileNamePath_) && !others([this](const FrmLogo* w) { return w->fileNamePath_ == fileNamePath_; }))
        mMain::DeleteFileForced(fileNamePath_);
}

void FrmLogo::OLEDropMode(int mode) {
    if (mode == oleDropMode_) return;
    if (mode == 1) {
        HWND hwnd = hwnd_;
        auto* target = new LogoDropTarget([hwnd](DroppedImages images, POINT at) {
            auto* self = reinterpret_cast<FrmLogo*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (!self || self->draggingOut_) {
                for (const std::wstring& file : images.ownFiles) mMain::DeleteFileForced(file);
                return;
            }
            auto& files = self->dropped_.files, &own = self->dropped_.ownFiles;
            files.insert(files.end(), images.files.begin(), images.files.end());
            own.insert(own.end(), images.ownFiles.begin(), images.ownFiles.end());
            PostMessageW(hwnd, kOpenDroppedFiles, 0, MAKELPARAM(at.x, at.y));
        });
        const bool registered = SUCCEEDED(RegisterDragDrop(hwnd_, target));
        target->Release();
        if (!registered) return;
    } else {
        RevokeDragDrop(hwnd_);
    }
    oleDropMode_ = mode;
}

void FrmLogo::SettleAtBottomSoon() { SetTimer(hwnd_, kSettleTimer, 300, nullptr); }

FrmLogo::FrmLogo(PinHost& host) : host_(host) {}
FrmLogo::~FrmLogo() = default;

void FrmLogo::Animate(std::uint8_t alpha) {
    KillTimer(hwnd_, kAnimationTimer);
    if (collapsed_) return;  // a tile stands still
    animation_ = Animation::Load(fileNamePath_, Width(), Height(), Menu.Turn, alpha);
    if (animation_) SetTimer(hwnd_, kAnimationTimer, animation_->Delay(), nullptr);
}

LRESULT CALLBACK FrmLogo::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FrmLogo*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        // Linked here, not on WM_CREATE, so no message of the window is lost.
        self = static_cast<FrmLogo*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        // A failure must not pass through the system's code: the copy ends, its pins kept as after a crash.
        self->host_.EndOnFailure(Widened(e.what()));
    } catch (...) {
        self->host_.EndOnFailure(L"unknown failure");
    }
    return 0;  // not reached: the copy has ended
}

LRESULT FrmLogo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    // The left button, the pointer and its shape: drawing, selecting, dragging out, or moving.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_SETCURSOR:
    case WM_CAPTURECHANGED: return HandlePointer(message, wParam, lParam);  // which may end this window
    case WM_COPYDATA: {
        DWORD sender = 0;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || !GetWindowThreadProcessId(reinterpret_cast<HWND>(wParam), &sender) || !IsVelvaneOfThisUser(sender)) return FALSE;
        return host_.TakeSelectionData(data->dwData, static_cast<const std::uint8_t*>(data->lpData), data->cbData) ? TRUE : FALSE;
    }
    // A click on another window ends the drawing; which window took the keyboard is known a moment later.
    case WM_ACTIVATE:
        if (editor_ && LOWORD(wParam) == WA_INACTIVE && !choosingColour_) SetTimer(hwnd_, kFocusCheckTimer, 50, nullptr);
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    case kChooseColourMessage:
        ChooseEditingColour();  // which may end this window
        return 0;
    case kEndEditingMessage:
        EndEditing();
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: OnMouseDown(2); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: OnMouseDown(4); return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0,
                     {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    // Moved to a monitor of other pixels per inch, a window keeps its size in pixels: one
    // image pixel stays one screen pixel.
    case WM_DPICHANGED: return 0;
    case WM_DISPLAYCHANGE:
        KeepOnAMonitor();
        return 0;
    case WM_WINDOWPOSCHANGED:  // moved, sized, shown: the copy's pin set follows
        host_.PinsChanged();
        if (frame_) frame_->Follow();
        if (edgeRing_) edgeRing_->Follow();
        if (draggingSelection_) {  // the user drags it: the other selected pins of every copy follow
            RECT now{};
            GetWindowRect(hwnd_, &now);
            const int dx = now.left - dragFrom_.x, dy = now.top - dragFrom_.y;
            dragFrom_ = {now.left, now.top};
            const HWND hwnd = hwnd_;
            if (dx || dy) mMain::TellSelection({mMain::SelectionAct::MoveBy, dx, dy}, hwnd_);
            if (Find(hwnd) != this) return 0;  // the copies' answers ran messages
        }
        if (editor_ && editor_->Toolbar()) {
            RECT now{};
            GetWindowRect(hwnd_, &now);
            editor_->PlaceToolbar(now);
        }
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_KEYDOWN: OnKeyDown(static_cast<int>(wParam), ShiftState()); return 0;
    case WM_SYSKEYDOWN:  // Alt combinations
        OnKeyDown(static_cast<int>(wParam), ShiftState());
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_CHAR:
        // A held Esc repeats: only its first press counts, so ending a drawing never closes the pin after it.
        if (wParam == 27 && (lParam & 0x40000000) != 0) return 0;
        OnChar(static_cast<wchar_t>(wParam));
        return 0;
    case kOpenDroppedFiles: {
        DroppedImages dropped;
        std::swap(dropped, dropped_);
        OnImagesDropped(dropped, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    case WM_TIMER:
        if (wParam == kAnimationTimer) {
            if (animation_ && animation_->Step(hwnd_)) SetTimer(hwnd_, kAnimationTimer, animation_->Delay(), nullptr);
            else KillTimer(hwnd_, kAnimationTimer);
            return 0;
        }
        if (wParam == kFocusCheckTimer) {
            KillTimer(hwnd_, kFocusCheckTimer);
            const HWND now = GetForegroundWindow();
            // The toolbar and the colour dialog are the pin's own. Under Wine a push of a layered window
            // can leave the keyboard with no window (or the desktop's own): the pin takes it back.
            if (!editor_ || choosingColour_ || now == hwnd_ || (now && GetWindow(now, GW_OWNER) == hwnd_)) return 0;
            if (now && now != GetDesktopWindow()) EndEditing();
            else SetForegroundWindow(hwnd_);
            return 0;
        }
        if (wParam == kKeptPictureTimer) {
            LetKeptGo();
            return 0;
        }
        if (wParam == kKeptSurfaceTimer) {
            KillTimer(hwnd_, kKeptSurfaceTimer);
            kept_.ReleaseSurface();
            if (!kept_.KeptLong()) LetKeptGo();
            return 0;
        }
        if (wParam != kSettleTimer) return DefWindowProcW(hwnd_, message, wParam, lParam);
        KillTimer(hwnd_, kSettleTimer);
        if (!Menu.InmnuLogo[TopMostItem].checked)
            SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    // A close request that is not the user's own key or menu (a close-all, which names itself
    // and its sender; a window-closing tool; taskkill without /F) ends the copy whole, its pins kept.
    case WM_CLOSE:
        host_.EndByCloseAll(lParam != 0 && IsVelvaneOfThisUser(static_cast<DWORD>(wParam)) ? static_cast<std::uint32_t>(lParam) : 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_CLOSE) return DefWindowProcW(hwnd_, message, wParam, lParam);
        CloseReopenably();  // Alt+F4: the user closes this one pin
        return 0;
    case WM_DESTROY:
        OLEDropMode(0);
        if (!ShUnload) RunUnloadSteps();
        for (const std::wstring& file : dropped_.ownFiles) mMain::DeleteFileForced(file);  // dropped, not yet opened
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        RemovePropW(hwnd_, AboutWindowProperty);
        mMain::PublishGroup(hwnd_, 0);  // the property goes with the window
        auto& all = LoadedWindows();
        auto at = std::find(all.begin(), all.end(), this);
        LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        // A window whose creation failed is not in the list yet; Load frees that one.
        if (at != all.end()) {
            all.erase(at);
            host_.RefreshIcon();
            if (all.empty()) WakeMessageLoop();
            delete this;
        }
        return result;
    }
    default:
        // Asked by another copy, which names itself: what does not check is passed over.
        if (message == mMain::ClickableAgainMessage()) {
            if (!ShUnload && IsVelvaneOfThisUser(static_cast<DWORD>(lParam))) ClickThrough(false);
            return 0;
        }
        // Shown again, a pin of a group that is not shown stays hidden.
        if (message == mMain::HideShowMessage()) {
            if (!ShUnload && !aboutMode_ && IsVelvaneOfThisUser(static_cast<DWORD>(lParam))) {
                const int shown = wParam != 0 ? kAllGroups : mMain::ShownGroup();
                Hide(wParam != 0 || (shown != kAllGroups && shown != group_));
            }
            return 0;
        }
        if (message == mMain::SelectionMessage()) {
            OnSelectionMessage(wParam, lParam);  // which may close this window
            return 0;
        }
        if (message == mMain::ShowGroupMessage()) {
            if (!ShUnload && !aboutMode_ && IsVelvaneOfThisUser(static_cast<DWORD>(lParam)))
                Hide(static_cast<int>(wParam) != kAllGroups && static_cast<int>(wParam) != group_);
            return 0;
        }
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

}  // namespace velvane
