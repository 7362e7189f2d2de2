#include "pin/PopupMenu.h"

namespace velvane {
namespace {

// Command ids carry the item's array and index.
constexpr UINT kLogoBase = 100, kOpacityBase = 200, kSizeBase = 300, kTurnBase = 400, kGroupBase = 500, kEdgeBase = 600;

// The keys that do an item over the window, shown beside it.
struct ItemKey {
    int item;
    const wchar_t* key;
};
constexpr ItemKey kItemKeys[] = {{ExitItem, L"Ctrl+X"}, {CopyItem, L"Ctrl+C"}, {PasteItem, L"Ctrl+V"}, {ReopenClosedItem, L"Ctrl+Z"}, {DrawItem, L"Space"}, {SaveImageItem, L"Ctrl+S"}};

template <std::size_t N>
void AppendItems(HMENU into, const std::array<MenuItem, N>& items, UINT base, const LogoMenu& menu);

void AppendItem(HMENU into, const MenuItem& item, UINT id) {
    if (item.IsSeparator()) {
        AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::wstring caption = item.caption;
    for (const ItemKey& shown : kItemKeys)
        if (id == kLogoBase + shown.item) caption += std::wstring(L"\t") + shown.key;
    // The keys typed over the window, in the order of the Turn items.
    const wchar_t* turnKeys[] = {L"\t[", L"\t]", L"\tH", L"\tV"};
    if (id >= kTurnBase && id < kTurnBase + 4) caption += turnKeys[id - kTurnBase];
    AppendMenuW(into, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? 0 : MF_GRAYED), id, caption.c_str());
}

HMENU BuildSubmenu(const LogoMenu& menu, int logoIndex) {
    HMENU sub = CreatePopupMenu();
    if (logoIndex == OpacityItem) AppendItems(sub, menu.InmnuOpacity, kOpacityBase, menu);
    else if (logoIndex == TurnItem) AppendItems(sub, menu.InmnuTurn, kTurnBase, menu);
    else if (logoIndex == GroupItem) AppendItems(sub, menu.InmnuGroup, kGroupBase, menu);
    else if (logoIndex == EdgeItem) AppendItems(sub, menu.InmnuEdge, kEdgeBase, menu);
    else AppendItems(sub, menu.InmnuSize, kSizeBase, menu);
    return sub;
}

template <std::size_t N>
void AppendItems(HMENU into, const std::array<MenuItem, N>& items, UINT base, const LogoMenu& menu) {
    for (std::size_t shown = 0; shown < N; ++shown) {
        const std::size_t i = base == kLogoBase ? static_cast<std::size_t>(LogoMenuOrder[shown]) : shown;
        const MenuItem& item = items[i];
        if (!item.visible) continue;  // a hidden item is simply left out
        const bool submenu = base == kLogoBase && (i == OpacityItem || i == SizeItem || i == TurnItem || i == GroupItem || i == EdgeItem);
        if (submenu) {
            // The parent menu owns the submenu from here on and destroys it with itself.
            AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildSubmenu(menu, static_cast<int>(i))),
                        item.caption.c_str());
        } else {
            AppendItem(into, item, base + static_cast<UINT>(i));
        }
    }
}

}  // namespace

MenuChoice TrackLogoMenu(HWND owner, const LogoMenu& menu, POINT at) {
    ScopedMenu popup(CreatePopupMenu());
    if (!popup) return {};
    AppendItems(popup.get(), menu.InmnuLogo, kLogoBase, menu);
    // Without the owner in the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    const UINT id = static_cast<UINT>(TrackPopupMenu(popup.get(),
                                                     TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD |
                                                         TPM_NONOTIFY,
                                                     at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (id >= kEdgeBase) return {MenuChoice::Edge, static_cast<int>(id - kEdgeBase)};
    if (id >= kGroupBase) return {MenuChoice::Group, static_cast<int>(id - kGroupBase)};
    if (id >= kTurnBase) return {MenuChoice::Turn, static_cast<int>(id - kTurnBase)};
    if (id >= kSizeBase) return {MenuChoice::Size, static_cast<int>(id - kSizeBase)};
    if (id >= kOpacityBase) return {MenuChoice::Opacity, static_cast<int>(id - kOpacityBase)};
    if (id >= kLogoBase) return {MenuChoice::Logo, static_cast<int>(id - kLogoBase)};
    return {};
}

}  // namespace velvane
