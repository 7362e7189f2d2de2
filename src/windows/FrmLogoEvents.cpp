// What a logo window does on mouse, keys, dropped files and its menu.

#include <vector>

#include "package/SingleExe.h"
#include "render/LayeredPNGWindow.h"
#include "render/ScaleArithmetic.h"
#include "startup/CommandLine.h"
#include "startup/FileExists.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"
#include "windows/PopupMenu.h"

namespace velvane {
namespace {

constexpr int kLeftButton = 1, kRightButton = 2;
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;

void MoveTopMostWindows(std::int32_t insertAfter) {
    for (FrmLogo* window : std::vector<FrmLogo*>(FrmLogo::Loaded()))
        if (FrmLogo::IsLoaded(window) && window->Menu.InmnuLogo[TopMostItem].checked)
            mMain::SetTopMost(*window, insertAfter);
}

}  // namespace

void FrmLogo::BeginDrag() {
    ReleaseCapture();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void FrmLogo::OnMouseDown(int button) {
    Menu.UpdateMakeAllVisibility(Loaded().size(), mMain::AboutOpen);
    if (!aboutMode_ && button == kRightButton) ShowPopupMenu();
}

void FrmLogo::OnMouseMove(int buttons) {
    if (Menu.InmnuLogo[MoveableItem].checked && buttons == kLeftButton) BeginDrag();
}

void FrmLogo::OnKeyDown(int keyCode, int shift) {
    const bool endsProgram = (keyCode == VK_END && shift == kCtrl) || (keyCode == 'X' && shift == kCtrl) ||
                             (keyCode == 'X' && shift == kAlt);
    if (endsProgram) mMain::UnloadAllLogos();
}

void FrmLogo::OnChar(wchar_t character) {
    if (character == 27) Unload();
}

void FrmLogo::OnDoubleClick() { Unload(); }

void FrmLogo::ShowPopupMenu() {
    POINT at{};
    GetCursorPos(&at);
    const MenuChoice choice = TrackLogoMenu(hwnd_, Menu, at);
    switch (choice.array) {
    case MenuChoice::Logo: OnLogoItem(choice.index); break;
    case MenuChoice::Opacity: OnOpacityItem(choice.index); break;
    case MenuChoice::Size: OnSizeItem(choice.index); break;
    case MenuChoice::None: break;
    }
}

void FrmLogo::OnLogoItem(int index) {
    switch (index) {
    case TopMostItem: OnTopMostItem(); break;
    case MoveableItem: Menu.InmnuLogo[MoveableItem].checked = !Menu.InmnuLogo[MoveableItem].checked; break;
    case MakeSingleExeItem:
    case MakeSingleExeAllItem:
        // No window of the program may cover the build's dialogs.
        MoveTopMostWindows(1);
        mMain::MakeSingleExe(hwnd_, index == MakeSingleExeAllItem);
        MoveTopMostWindows(-1);
        break;
    case AboutItem: mMain::ShowAbout(); break;
    case ExitItem: mMain::UnloadAllLogos();  // does not return
    default: break;
    }
}

void FrmLogo::OnTopMostItem() {
    const bool wasTopMost = Menu.InmnuLogo[TopMostItem].checked;
    for (FrmLogo* window : std::vector<FrmLogo*>(Loaded())) {
        if (!IsLoaded(window)) continue;
        if (window == this) mMain::SetTopMost(*this, wasTopMost ? 1 : -1);
        else if (window->Menu.InmnuLogo[TopMostItem].checked) mMain::SetTopMost(*window, -1);
    }
    Menu.InmnuLogo[TopMostItem].checked = !wasTopMost;
}

void FrmLogo::OnOpacityItem(int index) {
    if (index < 0 || index > 9) return;
    ApplySizeAndOpacity(static_cast<std::int16_t>(10 * (index + 1)), -1);
}

void FrmLogo::OnSizeItem(int index) {
    if (index < 0 || index > CustomSizeIndex) return;
    const bool customShown = Menu.InmnuSize[CustomSizeIndex].visible;
    Menu.InmnuSize[CustomSizeIndex].visible = false;
    if (!ApplySizeAndOpacity(-1, index)) Menu.InmnuSize[CustomSizeIndex].visible = customShown;
}

bool FrmLogo::ApplySizeAndOpacity(std::int16_t opacity, int sizeIndex) {
    LayeredPNGWindow renderer;
    // The marks are the window's settings and "Make single Exe!" stores them: they move
    // only with a picture that was pushed. An image that can no longer be read, or a size
    // no bitmap can take, keeps the picture and the marks the window has.
    std::int32_t width = 0, height = 0;
    if (!renderer.PNGFileSize(fileNamePath_, width, height)) return false;
    const LogoMenu before = Menu;
    const auto rendering = Menu.ChooseSizeAndOpacity(opacity, sizeIndex);
    const auto alpha = rendering ? AlphaFromOpacity(rendering->opacity) : std::nullopt;
    if (!rendering || !alpha || !(rendering->factor > 0) ||
        !renderer.MakeTrans(fileNamePath_, *this, *alpha, rendering->factor, false)) {
        Menu = before;
        return false;
    }
    return true;
}

void FrmLogo::OnFilesDropped(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths)
        if (mMain::FileExists(path))
            mMain::OpenLogo(path, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false);
}

}  // namespace velvane
