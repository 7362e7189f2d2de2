// How a logo window shows among the others: letting clicks through, its edge, its group, hidden.

#include <memory>

#include "pin/FrmLogo.h"
#include "pin/PinRing.h"
#include "system/ShownGroup.h"

namespace velvane {

void FrmLogo::ClickThrough(bool on) {
    clickThrough_ = on;
    // Without its icon there would be no way back: the window stays clickable.
    if (on && !host_.RefreshIcon()) {
        clickThrough_ = false;
        return;
    }
    if (on) EndEditing();
    const LONG style = GetWindowLongW(hwnd_, GWL_EXSTYLE);
    SetWindowLongW(hwnd_, GWL_EXSTYLE, on ? style | WS_EX_TRANSPARENT : style & ~WS_EX_TRANSPARENT);
    if (!on) host_.RefreshIcon();
}

void FrmLogo::Edge(const PinEdge& edge) {
    if (aboutMode_) return;
    edge_ = edge;
    for (std::size_t i = 0; i < Menu.InmnuEdge.size(); ++i) Menu.InmnuEdge[i].checked = static_cast<int>(i) == static_cast<int>(edge.kind);
    edgeRing_.reset();
    if (edge.kind != EdgeKind::None) {
        const COLORREF colour = RGB(edge.colour >> 16 & 0xFF, edge.colour >> 8 & 0xFF, edge.colour & 0xFF);
        edgeRing_ = std::make_unique<PinRing>(hwnd_, L"Velvane.PinEdge", RingLook{edge.Width(), colour, edge.kind == EdgeKind::Shadow});
    }
    if (frame_) frame_->Gap(edge.Width());
}

void FrmLogo::Group(int group) {
    if (!IsGroup(group)) return;
    group_ = group;
    for (std::size_t i = 0; i < Menu.InmnuGroup.size(); ++i) Menu.InmnuGroup[i].checked = static_cast<int>(i) + 1 == group;
    mMain::PublishGroup(hwnd_, group);
    // Moved to a group that is not shown, it goes from the screen as the others of that group are.
    const int shown = mMain::ShownGroup();
    if (shown != kAllGroups && shown != group && !hidden_) Hide(true);
    host_.PinsChanged();
}

void FrmLogo::Hide(bool hidden) {
    if (hidden) EndEditing();
    if (hidden) Select(false);  // what is not seen is not closed or moved with the others
    hidden_ = hidden;
    ShowWindow(hwnd_, hidden ? SW_HIDE : SW_SHOWNA);
    if (frame_) frame_->Follow();
    if (edgeRing_) edgeRing_->Follow();
    host_.RefreshIcon();
}

}  // namespace velvane
