#include "app/capture/PinFromScreen.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/NewPins.h"
#include "app/capture/SelectionWindow.h"
#include "system/GdiPlus.h"
#include "system/ScreenShot.h"
#include "system/TempFiles.h"

namespace velvane::capture {
namespace {

// The selection as a PNG file of our own; empty when it cannot be written.
std::optional<std::wstring> Saved(const ScreenShot& shot, const PixelRect& chosen) {
    const std::vector<std::uint8_t> pixels = shot.Pixels(chosen);
    std::optional<std::wstring> file = mMain::MakeTempFileName();
    if (!file) return std::nullopt;
    const GdiplusSession session;
    if (session.started() && SavePngFile(BitmapOfRows(pixels.data(), chosen.Width(), chosen.Height(), false).get(), *file)) return file;
    mMain::DeleteFileForced(*file);
    return std::nullopt;
}

}  // namespace

void PinFromScreen() {
    static bool selecting = false;
    if (std::exchange(selecting, true)) return;
    struct Done {
        ~Done() { selecting = false; }
    } done;
    std::optional<PixelRect> chosen;
    std::optional<std::wstring> file;
    {
        // The screen's copy goes before the pin opens: it is as large as every monitor together.
        WaitWhileSelectionGoes();
        const std::optional<ScreenShot> shot = ScreenShot::Take();
        if (shot) chosen = SelectOnScreen(*shot);
        if (chosen && !chosen->Empty()) file = Saved(*shot, *chosen);
    }
    if (!file) return;
    const POINT centre{chosen->left + chosen->Width() / 2, chosen->top + chosen->Height() / 2};
    mMain::PinOwnFile(*file, centre, true);
}

}  // namespace velvane::capture
