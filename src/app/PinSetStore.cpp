#include "app/PinSetStore.h"

#include "common/Scoped.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <vector>

#include "app/EmbeddedPackage.h"
#include "app/PinSetFiles.h"
#include "app/PinSetFolders.h"
#include "app/Resident.h"
#include "app/SingleExe.h"
#include "core/OpenSetNames.h"
#include "core/PackageBag.h"
#include "core/PinSet.h"
#include "pin/FrmLogo.h"
#include "system/HiddenWindow.h"
#include "system/RunningCopies.h"
#include "system/SettingsSection.h"
#include "system/StoredPreferences.h"
#include "system/TempFiles.h"

namespace velvane::mMain {
namespace {

constexpr UINT_PTR kSaveTimer = 1, kLivesOnTimer = 2, kKeepTimer = 3;
constexpr DWORD kSaveDelayMs = 1000, kLongestDelayMs = 5000, kLivesOnMs = 10000;

HWND Saver();

// Retired: the user ended the copy; its set is final. SessionEnding: Windows ends the session,
// the set stays in Open\ as it is, unless the process lives on past it.
enum class Phase { Live, Retired, SessionEnding };
Phase phase = Phase::Live;
bool Ended() { return phase != Phase::Live; }
// When the oldest change not yet written happened, while there is one.
std::optional<DWORD> unsavedSince;
int savesHeld = 0;

// False when there was nothing to post the job with.
bool PostSave() {
    if (Saver()) KillTimer(Saver(), kSaveTimer);
    unsavedSince.reset();
    SaveJob job{OwnPinSetPath(), std::nullopt, {}};
    if (job.path.empty()) return false;
    try {
        // A window whose file went gives the picture it shows instead.
        for (FrmLogo* window : FrmLogo::Loaded())
            if (!window->ShUnload) window->KeepPictureOfGoneFile();
        job.settings = PackSettings(nullptr, IDYES, job.images);
    } catch (const std::exception&) {
        return false;
    }
    PostPinSet(std::move(job));
    return true;
}

LRESULT CALLBACK SaverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        if (wParam == kSaveTimer && !Ended()) PostSave();
        if (wParam == kKeepTimer && SavePinsNow()) KeepWhatRestoresDidNotOpen();
        else if (wParam == kKeepTimer) KeepAgainSoon();
        // Still running well after the session's end: it did not end (a restart manager's
        // close that the copy outlived), so the set follows the windows again; their last one
        // closed meanwhile, it is retired as that would have.
        if (wParam == kLivesOnTimer && phase == Phase::SessionEnding) {
            phase = Phase::Live;
            const auto& loaded = FrmLogo::Loaded();
            if (std::any_of(loaded.begin(), loaded.end(), [](const FrmLogo* w) { return !w->AboutMode() && !w->ShUnload; })) PinsChanged();
            else WindowLeaves(true, IsResident());
        }
        return 0;
    case WM_ENDSESSION:
        if (!wParam || Ended()) return 0;
        // Windows ends the copy: its set stays in Open\ for the next sign-in, as it is now.
        // Their bytes saved, this copy's temporary files would only be left behind, unless
        // the copy may outlive the request (an application closed, not the session ended).
        KeepPinsOpen();
        if (!(static_cast<DWORD>(lParam) & ENDSESSION_CLOSEAPP)) DeleteOwnTempFiles();
        SetTimer(hwnd, kLivesOnTimer, kLivesOnMs, nullptr);
        return 0;
    case WM_CLOSE: return 0;  // saving never stops while the copy runs
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// A hidden top-level window: it gets the timer, and the end of the session.
HWND Saver() {
    static HWND saver = MakeHiddenWindow(L"Velvane.PinSetSaver", SaverProc);
    return saver;
}

}  // namespace

std::wstring OwnPinSetPath() {
    const auto folder = PinSetFolder(L"Open");
    return folder ? *folder + OpenSetName(ThisCopy()) : std::wstring();
}

void PinsChanged() {
    if (Ended() || !Saver()) return;
    const DWORD now = GetTickCount();
    if (!unsavedSince) unsavedSince = now;
    if (savesHeld > 0) return;
    // A steady stream of moves pushes the write back, but never past five seconds.
    const DWORD waited = now - *unsavedSince;
    SetTimer(Saver(), kSaveTimer, waited >= kLongestDelayMs ? USER_TIMER_MINIMUM : std::min(kSaveDelayMs, kLongestDelayMs - waited), nullptr);
}

SavesHeld::SavesHeld() { ++savesHeld; }

SavesHeld::~SavesHeld() {
    if (--savesHeld == 0 && unsavedSince) PinsChanged();
}

void WindowLeaves(bool lastImage, bool copyGoesOn) {
    if (Ended()) return;
    if (!lastImage) {
        PinsChanged();
        return;
    }
    if (RetirePins() && copyGoesOn) StartNewPinSet();
}

void StartNewPinSet() {
    phase = Phase::Live;
    unsavedSince.reset();
}

bool SavePinsNow() {
    const bool posted = PostSave();
    return FlushPinSets() && posted;
}

void KeepPinsOpen() {
    if (Ended()) return;
    SavePinsNow();
    phase = Phase::SessionEnding;
}

bool RetirePins(std::uint32_t closeAll) {
    if (Ended()) return false;
    SavePinsNow();  // with the changes of the last second, the closing window's too
    phase = Phase::Retired;
    // A write that failed is not tried again: the set moves as it was last written whole.
    CancelPinSetWrites();
    const std::wstring own = OwnPinSetPath();
    const auto closed = PinSetFolder(L"Closed");
    if (own.empty() || !closed || !Exists(own)) return true;
    const std::vector<std::wstring> before = FilesIn(*closed, L"*.velvane");
    MoveSet(own, *closed + ClosedSetName({NextClosedNumber(before), GetCurrentProcessId(), closeAll}));
    for (const std::wstring& name : ClosedSetsToPrune(FilesIn(*closed, L"*.velvane"), static_cast<std::size_t>(LoadPreferences().closedKept))) DeleteSet(*closed + name);
    return true;
}

void KeepAgainSoon() {
    if (Saver()) SetTimer(Saver(), kKeepTimer, 3000, nullptr);
}

std::uint32_t NewCloseAll() {
    const std::uint32_t id = GetTickCount() ^ (GetCurrentProcessId() * 2654435761u);
    return id ? id : 1;
}

}  // namespace velvane::mMain
