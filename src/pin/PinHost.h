#pragma once
// What a pin asks of the running copy it belongs to: the copy hands each pin one when it loads
// it, so that a pin names nothing of the copy as a whole.

#include "common/Scoped.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velvane {

class PinHost {
public:
    // A pin was shown, moved, sized or had a setting changed: the copy's set follows.
    virtual void PinsChanged() = 0;
    // A pin is unloading; lastImage when no other image window is left (about windows aside).
    virtual void PinLeaves(bool lastImage) = 0;
    // The user closes a pin (Esc, a double-click, Alt+F4), which is still there: kept for Ctrl+Z.
    virtual void RememberClosed(HWND pin) = 0;
    // A close request that is not the user's: the copy ends whole (closeAll names a close-all, 0 none).
    virtual void EndByCloseAll(std::uint32_t closeAll) = 0;
    // A failure the pin cannot go on from.
    [[noreturn]] virtual void EndOnFailure(const std::wstring& what) = 0;
    // A menu item or key of a pin that acts on the copy (a LogoItem: Make single Exe!, Paste,
    // Save Pins..., Reopen Closed, Open at Sign-in, About, Exit).
    virtual void CopyCommand(HWND pin, int logoItem) = 0;
    // A right-click on the about window, which shows the copy's own menu, not a pin's.
    virtual void AboutMenu(HWND about) = 0;
    // Files dropped on a pin.
    virtual void OpenFiles(const std::vector<std::wstring>& paths) = 0;
    // An image dropped as data, in a temporary file of ours: pinned centred on the point as a
    // pasted one is, the file going with its pin.
    virtual void PinOwnFile(const std::wstring& file, POINT at) = 0;
    // What the pin's menu shows of the copy.
    virtual bool CanReopen() = 0;
    virtual bool OpensAtSignIn() = 0;
    // The notification icon follows the pins (its count, hidden or click-through ones); false
    // when it cannot be shown.
    virtual bool RefreshIcon() = 0;
    // A selection closed across copies (batch names it): this copy's selected pins close as one,
    // kept for Ctrl+Z by the copy that asked (initiator, a process id).
    virtual void CloseSelection(int batch, DWORD initiator) = 0;
    // Another copy brought back its part of a closed selection: this copy brings back its own.
    virtual void ReopenSelection(int batch) = 0;
    // Ctrl+C over a selection: this copy gathers the selected pictures of every copy.
    virtual void CopySelection(HWND pin) = 0;
    // What another copy handed this one for a selection (WM_COPYDATA); false when it is not taken.
    virtual bool TakeSelectionData(ULONG_PTR kind, const std::uint8_t* data, std::size_t size) = 0;

protected:
    ~PinHost() = default;
};

}  // namespace velvane
