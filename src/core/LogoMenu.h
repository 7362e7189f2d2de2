#pragma once
// A logo window's popup menu, which is also where that window keeps its settings:
// the marks of "Top Most" and "Moveable", the checked Opacity and Size items, "Custom"
// with its factor, the picture's turn, and whether the package commands are offered.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Orientation.h"

namespace velvane {

struct MenuItem {
    std::wstring caption;
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    std::wstring tag;

    bool IsSeparator() const { return caption == L"-"; }
};

enum LogoItem : int {
    TopMostItem = 0,
    MoveableItem = 1,
    OpacityItem = 3,
    SizeItem = 4,
    MakeSingleExeItem = 5,
    MakeSingleExeAllItem = 6,
    AboutItem = 8,
    ExitItem = 9,
    ClickThroughItem = 12,
    CopyItem = 13,
    PasteItem = 14,
    SavePinsItem = 15,
    ReopenClosedItem = 16,
    TurnItem = 17,
    OpenAtSignInItem = 18,
    DrawItem = 19,
    RevertItem = 20,
    UndoRevertItem = 21,
    GroupItem = 22,
    CollapseItem = 23,
    SaveImageItem = 24,
    EdgeItem = 25,
    SettingsItem = 26,
};

// The order the items show in: the later ones sit before "About" behind their own
// separator, yet keep indices after the first eleven, which stay as they always were.
constexpr int LogoMenuOrder[] = {0, 1, 2, 3, 4, 17, 25, 19, 20, 21, 22, 23, 24, 5, 6, 15, 11, 12, 13, 14, 16, 18, 7, 26, 8, 9, 10};

enum SizeIndex : int { SizeOneIndex = 3, CustomSizeIndex = 7 };

struct LogoMenu {
    LogoMenu();

    std::array<MenuItem, 27> InmnuLogo;
    std::array<MenuItem, 11> InmnuOpacity;
    std::array<MenuItem, 9> InmnuSize;
    // In the order of TurnChoice.
    std::array<MenuItem, 5> InmnuTurn;
    // "1" to "9": the window's group checked.
    std::array<MenuItem, 9> InmnuGroup;
    // "None", "Line", "Shadow", in the order of EdgeKind: the window's edge checked.
    std::array<MenuItem, 3> InmnuEdge;
    // How the picture is turned; stored with the other settings.
    Orientation Turn;

    // Checks the Opacity item nearest to the percentage; false when no item is near
    // (below 6 or above 100).
    bool CheckOpeningOpacity(std::int16_t opacity);

    // A factor other than exactly 1 goes to "Custom", shown, with the factor as its tag.
    void MarkOpeningSize(float sizeFactor);

    // The opacity and size a window is to be drawn at after a choice in its submenus:
    // opacity -1 and sizeIndex -1 keep the marked item, other values move the mark.
    // Empty, with no mark moved, when a kept setting has no marked item.
    struct Rendering {
        std::int16_t opacity;
        float factor;
    };
    std::optional<Rendering> ChooseSizeAndOpacity(std::int16_t opacity, int sizeIndex);

    // The factor the window is drawn at: the marked preset, or Custom's own; empty when
    // no Size item is marked.
    std::optional<float> MarkedFactor() const;

    // A Size item's factor: the preset's, or Custom's own (0 when its tag is no number).
    float FactorOf(int sizeIndex) const;

    // "Make single Exe! All Images" is offered only while at least two image windows are
    // open and "Make single Exe!" itself is offered.
    void UpdateMakeAllVisibility(std::size_t loadedWindows, bool aboutOpen);
};

// The factors of the Size items "1/4" to "4"; "1/3" is 0.333.
constexpr const wchar_t* SizePresets = L"0.25\\0.333\\0.5\\1\\2\\3\\4";
// The preset's value as written (0.333 exactly as a double, for storing) and as the
// factor a window is drawn at.
double SizePresetValue(int index);
float SizePreset(int index);

// The preset a wheel notch goes to from a factor: the nearest one above it (direction 1)
// or below it (-1); none past the ends.
std::optional<int> NextSizePreset(float factor, int direction);

// A size factor as text that reads back to the same float, always with a full stop.
std::wstring SizeFactorText(float factor);

}  // namespace velvane
