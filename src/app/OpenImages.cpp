#include "app/OpenImages.h"

#include <shobjidl.h>

#include "common/ComPtr.h"

namespace velvane {

std::vector<std::wstring> AskForImages(HWND owner) {
    std::vector<std::wstring> paths;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog.p))))
        return paths;
    // What the decoders read: PNG ourselves, the rest through GDI+.
    const COMDLG_FILTERSPEC types[] = {
        {L"Images and pins", L"*.png;*.jpg;*.jpeg;*.jpe;*.jfif;*.webp;*.gif;*.bmp;*.dib;*.tif;*.tiff;*.ico;*.velvane"},
        {L"All files", L"*.*"}};
    dialog->SetFileTypes(2, types);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
    ComPtr<IShellItemArray> chosen;
    DWORD count = 0;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResults(&chosen.p)) || FAILED(chosen->GetCount(&count))) return paths;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        wchar_t* path = nullptr;
        if (FAILED(chosen->GetItemAt(i, &item.p)) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) continue;
        paths.emplace_back(path);
        CoTaskMemFree(path);
    }
    return paths;
}

}  // namespace velvane
