#include "app/NewPins.h"

#include <algorithm>

#include "app/LogoWindows.h"
#include "app/TextCardPins.h"
#include "core/CommandLine.h"
#include "pin/FrmLogo.h"
#include "system/Clipboard.h"
#include "system/TempFiles.h"

namespace velvane::mMain {

void PinOwnFile(const std::wstring& file, POINT centre, bool instant, const std::wstring& card) {
    PinExtras extras;
    extras.centreAt = &centre;
    extras.card = card;
    extras.newPin = true;
    OpenLogo(file, false, false, false, instant, CenterPos, CenterPos, 100, 1.0f, false, extras);
    const auto& loaded = FrmLogo::Loaded();
    if (std::none_of(loaded.begin(), loaded.end(), [&](const FrmLogo* w) { return w->FileNamePath() == file; })) DeleteFileForced(file);
}

bool PinClipboard(HWND owner, POINT at) {
    const Clipboard::Pasted pasted = Clipboard::TakeImage(owner);
    PinExtras extras;
    extras.centreAt = &at;
    extras.newPin = true;
    OpenFiles(pasted.copiedFiles, [&](const std::wstring& path) {
        OpenLogo(path, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false, extras);
    }, false, false);
    if (!pasted.ownFile.empty()) PinOwnFile(pasted.ownFile, at, false);
    if (pasted.ownFile.empty() && pasted.copiedFiles.empty()) return PinTextCard(pasted.text, at);
    return true;
}

void OpenNewPin(const std::wstring& path) {
    PinExtras extras;
    extras.newPin = true;
    OpenLogo(path, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false, extras);
}

}  // namespace velvane::mMain
