#include "app/Main.h"

#include <exception>
#include <system_error>
#include <thread>

#include "app/EmbeddedPackage.h"
#include "app/GlobalKeys.h"
#include "app/LogoWindows.h"
#include "app/NotificationIcon.h"
#include "app/PinSetStore.h"
#include "app/Resident.h"
#include "common/ProgramTexts.h"
#include "common/Scoped.h"
#include "core/CommandLine.h"
#include "core/NumberReading.h"
#include "core/PinGroups.h"
#include "core/SettingsSlot.h"
#include "system/FileExists.h"
#include "system/ReadSettingsSlot.h"
#include "system/ShownGroup.h"
#include "system/TempFiles.h"
#include "system/WindowRegistry.h"

namespace velvane::mMain {

namespace {

std::wstring LowerCase(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The steps that a failure may cut short; what they leave in the reading decides the
// about window afterwards.
void OpenRequestedWindows(SwitchReading& reading) {
    if (!reading.complete) return;
    if (reading.startupFlags & CloseAllFlag) {
        CloseAllRunning(NewCloseAll(), /*waitForOthers*/ true);
        UnloadAllLogos();
    }
    const std::optional<StartupValues> values = ReadValues(reading.commandText);
    if (!values) return;
    const bool dontOnTop = reading.startupFlags & DontOnTopFlag;
    const bool dontMoveable = reading.startupFlags & DontMoveableFlag;
    const bool dontDragActive = reading.startupFlags & DontDragActiveFlag;
    const bool dontLoadEffect = reading.startupFlags & DontLoadEffectFlag;

    const std::wstring slot = ReadSettingsSlot();
    if (slot == EmptySlotMarker) {
        OpenFiles(reading.imageFiles, [&](const std::wstring& path) {
            PinExtras extras;
            extras.newPin = true;
            OpenLogo(path, dontOnTop, dontMoveable, dontDragActive, dontLoadEffect, values->topPos, values->leftPos,
                     values->opacity, values->sizeFactor, false, extras);
        }, dontDragActive, dontLoadEffect);
    } else {
        reading.imageFiles = LoadEmbeddedPackage(ReadNumber(slot).value_or(0), dontDragActive, dontLoadEffect);
    }
}

}  // namespace

std::wstring ArgumentText(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

void Main() {
    SettingsSection = DefaultSettingsSection();
    SwitchReading reading =
        ReadSwitches(LowerCase(ArgumentText(GetCommandLineW())), [](const std::wstring& piece) { return FileExists(piece); });
    // Words for every running copy; they open nothing, not even the about window.
    const auto has = [&](Word word) { return reading.HasWord(word); };
    // "group1" to "group9" and "groupall": whole words, as "hide" and "show".
    for (const std::wstring& word : reading.words) {
        if (const auto group = GroupOfWord(word)) {
            try {
                ShowGroupAllRunning(*group);
            } catch (const std::exception&) {
            }
            return;
        }
    }
    if (has(Word::Clickable) || has(Word::Hide) || has(Word::Show)) {
        try {
            if (has(Word::Clickable)) MakeAllRunningClickable();
            else HideOrShowAllRunning(has(Word::Hide) ? Visibility::Hide : Visibility::Show);
        } catch (const std::exception&) {
        }
        return;
    }
    // "capture" and "pinclipboard" go to the resident copy when one runs; else this copy
    // does it, and lives on as long as the pin it made.
    if (has(Word::Capture) || has(Word::PinClipboard)) {
        const Request request = has(Word::Capture) ? Request::PinFromScreen : Request::PinClipboard;
        if (AskResident(request)) return;
        GlobalKeys::Take(NotificationIcon::Owner(), false);
        Carry(request);
        return;
    }
    // What copies that no longer run left in the temporary folder goes, beside the start.
    try {
        std::thread([] {
            try {
                RemoveTempFilesOfEndedCopies();
            } catch (...) {
            }
        }).detach();
    } catch (const std::system_error&) {
    }
    // A second resident start in the session ends at once, quietly.
    const bool resident = has(Word::Tray);
    if (resident && !BecomeResident()) return;
    if (!resident) GlobalKeys::Take(NotificationIcon::Owner(), false);
    try {
        OpenRequestedWindows(reading);
    } catch (const std::exception&) {
        // The remaining steps are abandoned; the about rule below still applies.
    }
    // "restore" brings back the pins of copies that ended without the user ending them, else
    // those closed last; at sign-in ("signin") only what was open when the session ended.
    const bool restore = has(Word::Restore) && reading.complete && !(reading.startupFlags & CloseAllFlag);
    const bool signIn = has(Word::SignIn);
    if (restore && !RestorePins(reading.startupFlags & DontDragActiveFlag, signIn) && !signIn)
        MessageBoxW(nullptr, L"Nothing to restore.", ProgramTitle, MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
    try {
        if (reading.commandText.find(WordText(Word::About)) != std::wstring::npos || (reading.imageFiles.empty() && !restore && !resident)) ShowAbout();
    } catch (const std::exception&) {
    }
}

}  // namespace velvane::mMain
