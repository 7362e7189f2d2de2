#include "app/LogoWindows.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <future>
#include <optional>
#include <system_error>
#include <utility>

#include "app/AboutPicture.h"
#include "app/CopyHost.h"
#include "app/EmbeddedPackage.h"
#include "app/NotificationIcon.h"
#include "app/PinSetStore.h"
#include "app/Resident.h"
#include "app/SingleExe.h"
#include "common/ProgramTexts.h"
#include "core/CommandLine.h"
#include "core/Placement.h"
#include "core/ScaleArithmetic.h"
#include "core/SettingsSlot.h"
#include "image/LayeredPNGWindow.h"
#include "pin/FrmLogo.h"
#include "system/Clipboard.h"
#include "system/FileExists.h"
#include "system/MessagePump.h"
#include "system/PinSelection.h"
#include "system/ReadSettingsSlot.h"
#include "system/ShownGroup.h"
#include "system/StoredPreferences.h"
#include "system/TempFiles.h"
#include "system/WindowRegistry.h"

namespace velvane::mMain {

namespace {

// Each a package of the windows closed at once, newest last; those of one selection closed across
// copies share its batch, and come back together.
struct Closed {
    std::vector<std::uint8_t> bag;
    int batch = 0;
};
std::deque<Closed>& ClosedWindows() {
    static std::deque<Closed> closed;
    return closed;
}
constexpr std::size_t kReopenable = 20, kReopenableBytes = std::size_t{256} << 20;

// A window close-all could never reach is not opened; the user hears why, once a copy.
void SayNotListedOnce() {
    static bool said = false;
    if (std::exchange(said, true)) return;
    MessageBoxW(nullptr, L"The image could not be shown: the list of open Velvane windows in the registry is full or cannot be written.",
                ProgramTitle, MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

struct Edges {
    std::int32_t left;
    std::int32_t top;
};

std::optional<std::int32_t> Edge(std::int32_t requested, bool centre, std::int32_t screenPixels, double twipsPerPixel,
                                 float sizeFactor, std::int32_t imagePixels) {
    if (requested != CenterPos && !centre) return requested;
    return CentredEdgeTwips(screenPixels, twipsPerPixel, sizeFactor, imagePixels);
}

}  // namespace

bool OpenLogo(std::wstring ImagePath, bool DontOnTop, bool DontMoveable, bool DontDragActive, bool DontLoadEffect,
              std::int32_t TopPos, std::int32_t LeftPos, std::int16_t Opacity, float SizeFactor, bool IsAbout,
              const PinExtras& extras) {
    const POINT* centreAt = extras.centreAt;
    const PinMarks& marks = extras.marks;
    PinEdge edge = extras.edge;
    if (extras.newPin) {
        const Preferences look = LoadPreferences();
        DontOnTop = DontOnTop || !look.topMost;
        DontLoadEffect = DontLoadEffect || !look.fadeIn;
        if (Opacity == 100) Opacity = static_cast<std::int16_t>(look.opacity);
        edge = look.edge;
    }
    LayeredPNGWindow renderer;  // released whichever way this returns
    std::int32_t width = 0, height = 0;
    // The image decodes on a second thread while the hidden window is made; nothing is
    // shown or listed before the image has proved readable.
    auto measure = [&] { return renderer.PNGFileSize(ImagePath, width, height); };
    std::future<bool> readable;
    try {
        readable = std::async(std::launch::async, measure);
    } catch (const std::system_error&) {
        readable = std::async(std::launch::deferred, measure);  // no thread to be had
    }
    FrmLogo* window = FrmLogo::Load(CopyHost());
    const bool measured = readable.get();
    if (!window) return false;
    const PixelRect shown = marks.Shown(width, height);  // a cropped picture is placed by what shows of it
    width = shown.Width();
    height = shown.Height();
    if (extras.turn.SwapsSides()) std::swap(width, height);  // the sides it is placed by are the turned picture's
    const HWND hwnd = window->hWnd();
    bool listed = false;

    // True when the window opened, or was closed by the user while it opened.
    const auto open = [&] {
        // An unreadable image, or values no window can show (an opacity without an alpha or
        // a menu mark, a size beyond 32 bits), open nothing.
        const auto left = Edge(LeftPos, IsAbout, GetSystemMetrics(SM_CXSCREEN), TwipsPerPixelX(), SizeFactor, width);
        const auto top = Edge(TopPos, IsAbout, GetSystemMetrics(SM_CYSCREEN), TwipsPerPixelY(), SizeFactor, height);
        const auto alpha = AlphaFromOpacity(Opacity);
        LogoMenu opening;
        if (!measured || !((left && top) || centreAt) || !alpha || !(SizeFactor > 0) || !opening.CheckOpeningOpacity(Opacity))
            return false;
        window->FileNamePath(ImagePath);
        window->AboutMode(IsAbout);
        // The flag is raised with the window, so it always stands for an about window that exists.
        if (IsAbout) AboutOpen = true;
        if (IsAbout) SetPropW(hwnd, AboutWindowProperty, reinterpret_cast<HANDLE>(1));
        try {
            UpdateWindowRegistry(hwnd, true);
        } catch (const std::exception&) {
            SayNotListedOnce();
            throw;
        }
        listed = true;
        if (centreAt)
            window->MoveToPixels(centreAt->x - ScaledSide(SizeFactor, width).value_or(0) / 2,
                                 centreAt->y - ScaledSide(SizeFactor, height).value_or(0) / 2);
        else
            window->MoveToTwips(*left, *top);
        window->OLEDropMode(DontDragActive ? 0 : 1);
        window->Menu.InmnuLogo[MoveableItem].checked = !DontMoveable;
        window->Menu.Turn = extras.turn;
        window->Marks = marks;
        window->Card(extras.card);
        if (!IsAbout) window->Group(extras.group ? extras.group : NewPinGroup());  // hidden when its group is not shown
        if (!IsAbout) window->Edge(edge);  // there as the window first shows, fading in or not
        if (!renderer.MakeTrans(ImagePath, window->Target(), *alpha, SizeFactor, !DontLoadEffect, nullptr, window->KeptAWhile())) return false;
        if (extras.collapsed) window->Collapse(true);
        // Places stored on a monitor that is gone (or at another scale) must not hide the window.
        window->KeepOnAMonitor();
        window->Menu.CheckOpeningOpacity(Opacity);
        window->Menu.MarkOpeningSize(SizeFactor);
        window->Menu.InmnuLogo[TopMostItem].checked = !DontOnTop;
        SetTopMost(*window, DontOnTop ? 1 : -1);
        window->Menu.InmnuLogo[MakeSingleExeItem].visible = ReadSettingsSlot() == EmptySlotMarker;

        DoEvents();
        // A close request may have arrived meanwhile: the window is then already gone. Hidden
        // meanwhile (every pin hidden at once), it stays so.
        if (FrmLogo::Find(hwnd) != window || window->ShUnload || window->Hidden()) return true;
        // Shown without changing its place in the window order; a top-most window also
        // takes the keyboard, so Esc works on it at once.
        ShowWindow(hwnd, DontOnTop ? SW_SHOWNA : SW_SHOW);
        // A window's first showing can raise it once its events have run (seen under
        // Wine), so the bottom place is taken again, now and once more shortly after.
        if (DontOnTop) {
            SetTopMost(*window, 1);
            window->SettleAtBottomSoon();
        }
        return true;
    };
    bool opened = false;
    try {
        opened = open();
    } catch (const std::exception&) {
    }
    // The one way out of a failure: the window, never shown, goes with its list entry.
    if (!opened && FrmLogo::Find(hwnd) == window) window->Discard(listed);
    if (opened) NotificationIcon::Refresh();  // the count of pins it shows
    return opened;
}

void OpenFiles(const std::vector<std::wstring>& paths, const std::function<void(const std::wstring&)>& openImage,
               bool DontDragActive, bool DontLoadEffect) {
    bool unreadable = false;
    {
        const SavesHeld once;
        for (const std::wstring& path : paths) {
            if (!FileExists(path)) continue;
            if (!IsPinSetFile(path)) openImage(path);
            else if (!OpenPinSet(path, DontDragActive, DontLoadEffect)) unreadable = true;
        }
    }
    // Above the top-most image windows, which would hide a plain box.
    if (unreadable) MessageBoxW(nullptr, L"The pins file could not be read.", ProgramTitle, MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

void RememberClosed(HWND window) {
    try {
        if (const std::optional<PackageBag> bag = PackWindows(window, IDYES)) KeepClosed(bag->SaveContents(), 0);
    } catch (const std::exception&) {
        // An image that can no longer be read cannot come back; the window closes all the same.
    }
}

void KeepClosed(std::vector<std::uint8_t> bag, int batch) {
    auto& closed = ClosedWindows();
    closed.push_back({std::move(bag), batch});
    std::size_t bytes = 0;
    for (const auto& one : closed) bytes += one.bag.size();
    while (closed.size() > kReopenable || (closed.size() > 1 && bytes > kReopenableBytes)) {
        bytes -= closed.front().bag.size();
        closed.pop_front();
    }
}

void ReopenClosedBatch(int batch) {
    auto& closed = ClosedWindows();
    std::vector<Closed> part;
    for (const Closed& one : closed)
        if (one.batch == batch) part.push_back(one);
    // Each kept until its windows are back, so a reopening that fails can be tried again.
    for (const Closed& one : part) {
        std::vector<int> opened;
        OpenPackageContents(one.bag, false, true, nullptr, &opened);
        if (opened.empty()) continue;
        const auto same = std::find_if(closed.begin(), closed.end(), [&](const Closed& c) { return c.batch == one.batch && c.bag == one.bag; });
        if (same != closed.end()) closed.erase(same);
    }
}

void ReopenClosed() {
    auto& closed = ClosedWindows();
    if (closed.empty()) return;
    const Closed last = closed.back();
    if (last.batch == 0) {
        std::vector<int> opened;
        OpenPackageContents(last.bag, false, true, nullptr, &opened);
        if (!opened.empty() && !closed.empty() && closed.back().bag == last.bag) closed.pop_back();
        return;
    }
    // A selection closed across copies: this copy's part, and every other copy's.
    ReopenClosedBatch(last.batch);
    TellSelection({SelectionAct::Reopen, last.batch});
}

bool CanReopen() { return !ClosedWindows().empty(); }

void ShowAbout() {
    if (AboutOpen) {
        for (FrmLogo* window : FrmLogo::Loaded()) {
            if (window->AboutMode()) {
                SetWindowPos(window->hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                return;
            }
        }
        return;
    }
    // Without a temporary file there is simply no about window.
    const std::optional<std::wstring> file = MakeTempFileName();
    if (!file) return;
    struct DeleteAfterwards {
        const std::wstring& path;
        ~DeleteAfterwards() { DeleteFileForced(path); }
    } cleanup{*file};
    // Without its line, the picture shows as stored.
    if (WriteAboutPicture(*file) || SaveResourceToFile(AboutImageResource, AboutImageResource, *file))
        OpenLogo(*file, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, true);
}

void UnloadEveryWindow() {
    // By handle: each unload takes its window out of the list.
    for (HWND hwnd : FrmLogo::LoadedHandles()) {
        try {
            if (FrmLogo* window = FrmLogo::Find(hwnd)) window->Unload();
        } catch (...) {
        }
    }
}

void UnloadAllLogos(std::uint32_t closeAll) {
    // The user ends the copy: its pin set, brought up to date, is retired.
    RetirePins(closeAll);
    UnloadEveryWindow();
    NotificationIcon::Remove();
    DeleteOwnTempFiles();  // a last pin's, whose unload ended the copy before it could delete its own
    ExitProcess(0);
}

void EndByCloseAll(std::uint32_t closeAll) {
    if (!IsResident()) UnloadAllLogos(closeAll);
    static bool underWay = false;
    if (std::exchange(underWay, true)) return;
    const bool retired = RetirePins(closeAll);
    UnloadEveryWindow();
    if (retired) StartNewPinSet();  // unless the session ends: its set stays for restore
    underWay = false;
}

void EndOnFailure(const std::wstring& what) {
    // Kept before the message, which lets other windows' messages run meanwhile.
    KeepPinsOpen();
    MessageBoxW(nullptr, (L"Velvane has to close because an operation failed:\n" + what).c_str(), ProgramTitle, MB_OK | MB_ICONERROR | MB_TOPMOST);
    UnloadEveryWindow();
    NotificationIcon::Remove();
    ExitProcess(1);
}

}  // namespace velvane::mMain
