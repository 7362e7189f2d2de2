// A logo window collapsed to a tile and expanded again.

#include <utility>
#include <vector>

#include "core/Tile.h"
#include "image/Animation.h"
#include "image/LayeredPNGWindow.h"
#include "pin/FrmLogo.h"
#include "system/LayeredPush.h"
#include "system/TopDownBitmap.h"

namespace velvane {

void FrmLogo::Collapse(bool on) {
    if (aboutMode_ || on == collapsed_) return;
    if (!on) {
        collapsed_ = false;
        // Drawn again at its size, opacity and turn, from the same top left corner.
        if (!ApplySizeAndOpacity(-1, -1)) collapsed_ = true;
        Menu.InmnuLogo[CollapseItem].caption = collapsed_ ? L"Expand" : L"Collapse";
        return;
    }
    EndEditing();
    LayeredPNGWindow renderer;
    std::int32_t width = 0, height = 0;
    if (!renderer.PNGFileSize(fileNamePath_, width, height, &kept_)) return;
    const PixelRect shown = Marks.Shown(width, height);
    width = shown.Width(), height = shown.Height();
    if (Menu.Turn.SwapsSides()) std::swap(width, height);
    const TileFit fit = FitInTile(width, height);
    std::int32_t pictureWidth = 0, pictureHeight = 0;
    const std::vector<std::uint8_t> picture = renderer.RenderedPixels(fileNamePath_, fit.factor, Menu.Turn, Marks, pictureWidth, pictureHeight, card_);
    void* bits = nullptr;
    const ScopedBitmap tile = TopDownBitmap(kTileSide, kTileSide, bits);
    const ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    if (picture.empty() || !tile || !dc) return;
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(kTileSide);
    ComposeTile({static_cast<std::uint8_t*>(bits), kTileSide, kTileSide, stride},
                {picture.data(), pictureWidth, pictureHeight, 4 * static_cast<std::ptrdiff_t>(pictureWidth)}, fit);
    const ScopedSelection selected(dc.get(), tile.get());
    RECT now{};
    GetWindowRect(hwnd_, &now);
    const POINT at{now.left, now.top};
    SetWindowPos(hwnd_, nullptr, 0, 0, kTileSide, kTileSide, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Opaque whatever the pin's opacity: a tile is to be found and hit.
    if (!PushLayered(hwnd_, dc.get(), {kTileSide, kTileSide}, &at, 255)) return;
    KillTimer(hwnd_, kAnimationTimer);
    animation_.reset();
    collapsed_ = true;
    Menu.InmnuLogo[CollapseItem].caption = L"Expand";
    KeepOnAMonitor();  // the corner of a pin partly off the screen would leave its tile out of reach
    host_.PinsChanged();
}

}  // namespace velvane
