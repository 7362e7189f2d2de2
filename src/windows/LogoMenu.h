#pragma once
// A logo window's popup menu, which is also where that window keeps its settings:
// the marks of "Top Most" and "Moveable", the checked Opacity and Size items, "Custom"
// with its factor, and whether the package commands are offered.

#include <array>
#include <cstdint>
#include <string>

namespace velvane {

struct MenuItem {
    std::wstring caption;
    bool checked = false;
    bool visible = true;
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
};

enum SizeIndex : int { SizeOneIndex = 3, CustomSizeIndex = 7 };

struct LogoMenu {
    LogoMenu();

    std::array<MenuItem, 11> InmnuLogo;
    std::array<MenuItem, 11> InmnuOpacity;
    std::array<MenuItem, 9> InmnuSize;

    // Checks the Opacity item nearest to the percentage; false when no item is near
    // (below 6 or above 100).
    bool CheckOpeningOpacity(std::int16_t opacity);

    // A factor other than exactly 1 goes to "Custom", shown, with the factor as its tag.
    void MarkOpeningSize(float sizeFactor);
};

// A size factor as text that reads back to the same float, always with a full stop.
std::wstring SizeFactorText(float factor);

}  // namespace velvane
