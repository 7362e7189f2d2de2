#pragma once
// Opening, raising and closing logo windows.

#include "common/Scoped.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Marks.h"
#include "core/Orientation.h"
#include "core/Preferences.h"

namespace velvane {
class FrmLogo;

namespace mMain {

// What a window may have besides the command line's settings.
struct PinExtras {
    // The screen point the window is centred on instead of the positions in twips (a pasted
    // image goes where the pointer is).
    const POINT* centreAt = nullptr;
    Orientation turn;
    PinMarks marks;  // what was drawn on it
    int group = 0;   // 0: the group new pins go to
    bool collapsed = false;  // shown as a tile
    PinEdge edge;
    // The text a card shows, drawn from it at every size; empty for an image.
    std::wstring card;
    // A pin the user makes now (not one stored): it looks as the settings say new pins do, where
    // the command line did not say otherwise.
    bool newPin = false;
};

// True when the window opened (or was closed while it opened).
bool OpenLogo(std::wstring ImagePath, bool DontOnTop, bool DontMoveable, bool DontDragActive, bool DontLoadEffect,
              std::int32_t TopPos, std::int32_t LeftPos, std::int16_t Opacity, float SizeFactor, bool IsAbout,
              const PinExtras& extras = {});

// Opens the files that exist, in order: pin sets through the package loader (their windows as stored,
// taking drops and fading in as asked), anything else through openImage. Pin sets that
// cannot be read are said once, and the other files still open.
void OpenFiles(const std::vector<std::wstring>& paths, const std::function<void(const std::wstring&)>& openImage,
               bool DontDragActive, bool DontLoadEffect);

void ShowAbout();

// The windows the user closed (Esc, double-click), their image bytes and settings kept so
// that ReopenClosed brings back the last one where and as it was, even when its file is
// gone since; up to 20 of this copy.
void RememberClosed(HWND window);
// Windows closed as one (bag: their package), for Ctrl+Z; batch names a selection closed across
// copies, whose parts come back together (0: none).
void KeepClosed(std::vector<std::uint8_t> bag, int batch);
// The windows of a selection closed across copies that this copy keeps, back again.
void ReopenClosedBatch(int batch);
void ReopenClosed();
bool CanReopen();

// Unloads every window, then ends the process; closeAll names the close-all that ends it.
[[noreturn]] void UnloadAllLogos(std::uint32_t closeAll = 0);

// A close-all reached this copy (or a close request that is not the user's own): it ends
// whole, its pins kept, except that the resident copy lives on without pins. Once only:
// another arriving while one is under way does nothing more.
void EndByCloseAll(std::uint32_t closeAll);

// The copy ends on a failure it cannot go on from: the user is told, and its pins stay for
// "restore" as after a crash.
[[noreturn]] void EndOnFailure(const std::wstring& what);

// Unloads every window (each runs its unload steps); failures are passed over.
void UnloadEveryWindow();

}  // namespace mMain
}  // namespace velvane
