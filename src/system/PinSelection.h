#pragma once
// Several pins selected at once, across every running copy: what one pin asks of every selected
// pin (or of every pin) travels as one registered message, sent to each pin of each copy.

#include "common/Scoped.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velvane::mMain {

enum class SelectionAct : std::uint32_t {
    SelectShown = 1,  // Ctrl+A: every shown pin is selected
    Clear,            // a plain click on a pin not selected: none is
    MoveBy,           // a drag or an arrow key moved one: the others follow (dx, dy)
    Close,            // Esc or a double-click: each copy closes its selected pins as one (batch)
    Opacity,          // a menu choice or Ctrl+wheel (the Opacity item's index)
    TopMost,          // Top Most on (1) or off (0)
    Render,           // Ctrl+C: each copy writes its selected pictures for the asking copy (batch)
    Reopen,           // Ctrl+Z brought a closed selection back in one copy: the others bring theirs (batch)
};

// What the message carries in its wParam: the act, and two small numbers.
struct SelectionMessageArgs {
    SelectionAct act;
    std::int32_t a = 0, b = 0;  // MoveBy: dx and dy (within +-8191); Close, Render: the batch; Opacity, TopMost: the value
};
WPARAM PackSelection(const SelectionMessageArgs& args);
SelectionMessageArgs UnpackSelection(WPARAM wParam);

// The registered message; lParam names the asking copy's process.
UINT SelectionMessage();
// Sent to every pin of every running copy but except (its own copy's pins handle it there too),
// each given waitMs to answer.
void TellSelection(const SelectionMessageArgs& args, HWND except = nullptr, UINT waitMs = 2000);
// A number for a selection's close or copy, unlike the last ones of any copy.
std::int32_t NewSelectionBatch();

// What copies hand one another for a selection (WM_COPYDATA's dwData): a closed copy's pins,
// a picture for Ctrl+C. Sent from a window of this copy to a pin of the copy of that process;
// false when none took it.
enum class SelectionData : ULONG_PTR { ClosedPins = 0x56534331, Picture = 0x56534332 };
bool SendToCopy(HWND from, DWORD process, SelectionData kind, const std::vector<std::uint8_t>& bytes);

// Their bytes: the batch first (little-endian), then a closed copy's package, or a picture's
// screen left and top, sides, file name length, premultiplied pixels and file name (UTF-16LE).
std::vector<std::uint8_t> ClosedPinsMessage(std::int32_t batch, const std::vector<std::uint8_t>& package);
std::vector<std::uint8_t> PictureMessage(std::int32_t batch, POINT place, std::int32_t width, std::int32_t height,
                                         const std::vector<std::uint8_t>& pixels, const std::wstring& file);
struct SelectionPicture {
    std::int32_t batch, left, top, width, height;
    const std::uint8_t* pixels;
    std::wstring file;  // the pin's own file, to copy as a file; empty for none
};
// Empty when the bytes are no such message.
std::optional<std::int32_t> BatchOf(const std::uint8_t* data, std::size_t size);
std::optional<SelectionPicture> ReadPictureMessage(const std::uint8_t* data, std::size_t size);

// A pin's selection, on its window for other copies to see.
void PublishSelected(HWND pin, bool selected);
bool IsSelected(HWND pin);
// Whether any pin of any running copy is selected.
bool AnySelected();

}  // namespace velvane::mMain
