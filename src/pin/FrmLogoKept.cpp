// What a logo window keeps of its picture between drawings, and what it gives when its file is gone.

#include "pin/FrmLogo.h"
#include "system/GdiPlus.h"
#include "system/TempFiles.h"

namespace velvane {

// Held while the wheel, the menu or the user coming back may ask again; a still picture
// needs no decoded copy for long. One window keeps at a time, so that opening or restoring
// many never holds a picture each.
KeptPicture* FrmLogo::KeptAWhile() {
    for (FrmLogo* other : Loaded())
        if (other != this) other->LetKeptGo();
    SetTimer(hwnd_, kKeptPictureTimer, kKeptPictureMs, nullptr);
    SetTimer(hwnd_, kKeptSurfaceTimer, kKeptSurfaceMs, nullptr);
    return &kept_;
}

void FrmLogo::LetKeptGo() {
    KillTimer(hwnd_, kKeptPictureTimer);
    KillTimer(hwnd_, kKeptSurfaceTimer);
    kept_.Release();
}

void FrmLogo::KeepPictureOfGoneFile() {
    if (aboutMode_ || !kept_.HeldFrom(fileNamePath_)) return;
    const ScopedFile file(CreateFileW(fileNamePath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    // Gone, not merely held by another program for a moment: the user's file stays the pin's.
    if (file || (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)) return;
    const std::optional<std::wstring> own = mMain::MakeTempFileName();
    if (!own) return;
    const ConstPixels picture = kept_.Picture();
    const GdiplusSession session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (session.started())
        gdip::GdipCreateBitmapFromScan0(picture.width, picture.height, static_cast<INT>(picture.stride), PixelFormat32bppPARGB,
                                        const_cast<BYTE*>(picture.rows), &bitmap);
    if (SavePngFile(GdipBitmap(bitmap).get(), *own)) fileNamePath_ = *own;
    else mMain::DeleteFileForced(*own);
}

}  // namespace velvane
