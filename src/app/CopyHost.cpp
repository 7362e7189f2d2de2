#include "app/CopyHost.h"

#include "app/AboutMenu.h"
#include "app/LogoWindows.h"
#include "app/NewPins.h"
#include "app/NotificationIcon.h"
#include "app/PinSetStore.h"
#include "app/Resident.h"
#include "app/SavePins.h"
#include "app/SelectionActs.h"
#include "app/SettingsWindow.h"
#include "app/SignIn.h"
#include "app/SingleExe.h"
#include "core/CommandLine.h"
#include "pin/FrmLogo.h"

namespace velvane::mMain {
namespace {

void MoveTopMostWindows(std::int32_t insertAfter) {
    for (HWND hwnd : FrmLogo::LoadedHandles())
        if (FrmLogo* window = FrmLogo::Find(hwnd); window && window->Menu.InmnuLogo[TopMostItem].checked) SetTopMost(*window, insertAfter);
}

class Host final : public PinHost {
public:
    void PinsChanged() override { mMain::PinsChanged(); }

    void PinLeaves(bool lastImage) override {
        // Closing the last image while the about window is open ends the program.
        if (lastImage && AboutOpen && !IsResident()) UnloadAllLogos();
        WindowLeaves(lastImage, IsResident());
    }

    void RememberClosed(HWND pin) override { mMain::RememberClosed(pin); }
    void EndByCloseAll(std::uint32_t closeAll) override { mMain::EndByCloseAll(closeAll); }
    [[noreturn]] void EndOnFailure(const std::wstring& what) override { mMain::EndOnFailure(what); }

    void CopyCommand(HWND pin, int logoItem) override {
        switch (logoItem) {
        case MakeSingleExeItem:
        case MakeSingleExeAllItem:
            // No window of the program may cover the build's dialogs.
            MoveTopMostWindows(1);
            MakeSingleExe(pin, logoItem == MakeSingleExeAllItem);
            MoveTopMostWindows(-1);
            break;
        case OpenAtSignInItem: OpenAtSignIn(!mMain::OpensAtSignIn()); break;
        case PasteItem: {
            POINT pointer{};
            GetCursorPos(&pointer);
            PinClipboard(pin, pointer);
            break;
        }
        case SavePinsItem: SavePins(pin); break;
        case ReopenClosedItem: ReopenClosed(); break;
        case AboutItem: ShowAbout(); break;
        case SettingsItem: ShowSettings(); break;
        case ExitItem: UnloadAllLogos();  // does not return
        default: break;
        }
    }

    void AboutMenu(HWND about) override { ShowAboutMenu(about); }

    void OpenFiles(const std::vector<std::wstring>& paths) override {
        mMain::OpenFiles(paths, OpenNewPin,
                         false, false);
    }

    void PinOwnFile(const std::wstring& file, POINT at) override { mMain::PinOwnFile(file, at, false); }

    bool CanReopen() override { return mMain::CanReopen(); }
    bool OpensAtSignIn() override { return mMain::OpensAtSignIn(); }
    bool RefreshIcon() override { return NotificationIcon::Refresh(); }
    void CloseSelection(int batch, DWORD initiator) override { mMain::CloseSelection(batch, initiator); }
    void CopySelection(HWND pin) override { mMain::CopySelection(pin); }
    void ReopenSelection(int batch) override { mMain::ReopenSelection(batch); }
    bool TakeSelectionData(ULONG_PTR kind, const std::uint8_t* data, std::size_t size) override {
        return mMain::TakeSelectionData(kind, data, size);
    }
};

}  // namespace

PinHost& CopyHost() {
    static Host host;
    return host;
}

}  // namespace velvane::mMain
