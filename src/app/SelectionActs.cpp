#include "app/SelectionActs.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <new>
#include <vector>

#include "app/LogoWindows.h"
#include "app/SingleExe.h"
#include "core/SideBySide.h"
#include "pin/FrmLogo.h"
#include "system/Clipboard.h"
#include "system/PinSelection.h"

namespace velvane::mMain {
namespace {

// Ctrl+C's gathering of selected pictures: only while it runs, and only of its own batch.
struct Part {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::wstring file;
};
struct Gathering {
    int batch = 0;
    std::vector<Part> parts;
};
// A large picture takes a while to draw in another copy; it is waited for.
constexpr UINT kRenderWaitMs = 15000;

Gathering& CurrentGathering() {
    static Gathering gathering;
    return gathering;
}

}  // namespace

void CloseSelection(int batch, DWORD initiator) {
    std::vector<HWND> selected;
    bool othersStay = false;  // a pin of this copy that is not closed now
    for (const FrmLogo* w : FrmLogo::Loaded()) {
        if (w->ShUnload || w->AboutMode()) continue;
        if (w->Selected()) selected.push_back(w->hWnd());
        else othersStay = true;
    }
    if (selected.empty()) return;
    // Each pin on its own, so one whose image cannot be read costs no other. The part stays in
    // this copy while the copy goes on (Ctrl+Z reopens it here); a copy that ends with it
    // hands it to the copy that closed the selection.
    const bool handOver = initiator != GetCurrentProcessId() && !othersStay;
    for (HWND pin : selected) {
        try {
            if (const std::optional<PackageBag> bag = PackWindows(pin, IDYES)) {
                std::vector<std::uint8_t> bytes = bag->SaveContents();
                if (!handOver || !SendToCopy(pin, initiator, SelectionData::ClosedPins, ClosedPinsMessage(batch, bytes)))
                    KeepClosed(std::move(bytes), batch);
            }
        } catch (const std::exception&) {
            // An image that can no longer be read cannot come back; the pin closes all the same.
        }
    }
    for (HWND pin : selected)
        if (FrmLogo* w = FrmLogo::Find(pin)) w->Unload();
}

void CopySelection(HWND pin) {
    auto& gathering = CurrentGathering();
    gathering = {NewSelectionBatch(), {}};
    TellSelection({SelectionAct::Render, gathering.batch}, nullptr, kRenderWaitMs);
    std::vector<Part> pictures = std::move(gathering.parts);
    gathering = {};
    // Left to right as they are on the screen.
    std::stable_sort(pictures.begin(), pictures.end(), [](const Part& a, const Part& b) { return a.left < b.left; });
    std::vector<std::pair<std::int32_t, std::int32_t>> sides;
    std::vector<ConstPixels> parts;
    std::vector<std::wstring> files;
    for (const Part& g : pictures) {
        sides.emplace_back(g.width, g.height);
        parts.push_back({g.pixels.data(), g.width, g.height, 4 * static_cast<std::ptrdiff_t>(g.width)});
        if (!g.file.empty() && std::find(files.begin(), files.end(), g.file) == files.end()) files.push_back(g.file);
    }
    const SideBySideLayout layout = LayOutSideBySide(sides);
    if (layout.width == 0) return;
    std::vector<std::uint8_t> whole;
    try {
        whole.resize(4 * static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height));
    } catch (const std::bad_alloc&) {
        return;
    }
    PutSideBySide({whole.data(), layout.width, layout.height, 4 * static_cast<std::ptrdiff_t>(layout.width)}, layout, parts);
    Clipboard::CopyImage(pin, std::move(whole), layout.width, layout.height, files);
}

void ReopenSelection(int batch) { ReopenClosedBatch(batch); }

bool TakeSelectionData(ULONG_PTR kind, const std::uint8_t* data, std::size_t size) {
    const std::optional<std::int32_t> batch = BatchOf(data, size);
    if (!batch) return false;
    try {
        if (kind == static_cast<ULONG_PTR>(SelectionData::ClosedPins)) {
            KeepClosed(std::vector<std::uint8_t>(data + 4, data + size), *batch);
            return true;
        }
        auto& gathering = CurrentGathering();
        const std::optional<SelectionPicture> p = kind == static_cast<ULONG_PTR>(SelectionData::Picture) ? ReadPictureMessage(data, size) : std::nullopt;
        if (!p || gathering.batch == 0 || p->batch != gathering.batch) return false;
        gathering.parts.push_back(
            {p->left, p->top, p->width, p->height, std::vector<std::uint8_t>(p->pixels, p->pixels + 4 * static_cast<std::size_t>(p->width) * p->height), p->file});
        return true;
    } catch (const std::bad_alloc&) {
        return false;  // the sending copy keeps what it could not hand over
    }
}

}  // namespace velvane::mMain
