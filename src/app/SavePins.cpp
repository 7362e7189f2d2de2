#include "app/SavePins.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>

#include "app/SingleExe.h"
#include "common/ComPtr.h"
#include "common/ProgramTexts.h"

namespace velvane {
namespace {

// The path the user chose in the standard Save dialog (Documents first, its own question
// before replacing a file); empty when cancelled or when there is no dialog to be had.
std::optional<std::wstring> AskForPath(HWND owner) {
    ComPtr<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(&dialog.p))))
        return std::nullopt;
    const COMDLG_FILTERSPEC types[] = {{L"Velvane pins (*.velvane)", L"*.velvane"}};
    dialog->SetFileTypes(1, types);
    dialog->SetDefaultExtension(L"velvane");
    dialog->SetFileName(L"Pins.velvane");
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM);
    ComPtr<IShellItem> documents;
    if (SUCCEEDED(SHGetKnownFolderItem(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, IID_IShellItem,
                                       reinterpret_cast<void**>(&documents.p))))
        dialog->SetFolder(documents.p);
    ComPtr<IShellItem> chosen;
    wchar_t* path = nullptr;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&chosen.p)) || FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return std::nullopt;
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}

}  // namespace

void SavePins(HWND owner) {
    const std::optional<std::wstring> path = AskForPath(owner);
    if (path && !mMain::WritePinSet(*path))
        MessageBoxW(IsWindow(owner) ? owner : nullptr, L"The pins could not be saved.", ProgramTitle, MB_OK | MB_ICONERROR);
}

}  // namespace velvane
