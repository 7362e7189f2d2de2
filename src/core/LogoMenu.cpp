#include "core/LogoMenu.h"

#include <charconv>
#include <string_view>

#include "core/NumberReading.h"

namespace velvane {

LogoMenu::LogoMenu() {
    const wchar_t* logo[] = {L"Top Most", L"Moveable", L"-", L"Opacity", L"Size", L"Make single Exe!",
                             L"Make single Exe! All Images", L"-", L"About", L"E&xit", L"-", L"-",
                             L"Click Through", L"Copy", L"Paste", L"Save Pins...", L"Reopen Closed",
                             L"Turn", L"Open at Sign-in", L"Draw", L"Revert to Original", L"Undo Revert", L"Group",
                             L"Collapse", L"Save Image As...", L"Edge", L"Settings..."};
    for (std::size_t i = 0; i < InmnuLogo.size(); ++i) InmnuLogo[i].caption = logo[i];
    InmnuLogo[TopMostItem].checked = true;
    InmnuLogo[MoveableItem].checked = true;
    InmnuLogo[10].visible = false;  // a separator with nothing after it
    InmnuLogo[RevertItem].enabled = false;  // nothing drawn yet
    InmnuLogo[UndoRevertItem].visible = false;  // offered straight after a revert only

    for (std::size_t k = 0; k < 10; ++k) InmnuOpacity[k].caption = std::to_wstring(10 * (k + 1));
    InmnuOpacity[10].caption = L"-";
    InmnuOpacity[10].visible = false;  // nothing follows it

    const wchar_t* size[] = {L"1/4", L"1/3", L"1/2", L"1", L"2", L"3", L"4", L"Custom", L"-"};
    for (std::size_t i = 0; i < InmnuSize.size(); ++i) InmnuSize[i].caption = size[i];
    InmnuSize[SizeOneIndex].checked = true;
    InmnuSize[CustomSizeIndex].visible = false;
    InmnuSize[8].visible = false;  // nothing follows it

    const wchar_t* turn[] = {L"Left 90", L"Right 90", L"Flip Horizontal", L"Flip Vertical", L"Reset"};
    for (std::size_t i = 0; i < InmnuTurn.size(); ++i) InmnuTurn[i].caption = turn[i];
    for (std::size_t i = 0; i < InmnuGroup.size(); ++i) InmnuGroup[i].caption = std::to_wstring(i + 1);
    InmnuGroup[0].checked = true;
    const wchar_t* edge[] = {L"None", L"Line", L"Shadow"};
    for (std::size_t i = 0; i < InmnuEdge.size(); ++i) InmnuEdge[i].caption = edge[i];
    InmnuEdge[0].checked = true;
}

bool LogoMenu::CheckOpeningOpacity(std::int16_t opacity) {
    auto nearest = ToInt32(opacity / 10.0);
    if (!nearest || *nearest < 1 || *nearest > 10) return false;
    InmnuOpacity[*nearest - 1].checked = true;
    return true;
}

void LogoMenu::MarkOpeningSize(float sizeFactor) {
    if (sizeFactor == 1.0f) return;
    InmnuSize[CustomSizeIndex].checked = true;
    InmnuSize[SizeOneIndex].checked = false;
    InmnuSize[CustomSizeIndex].visible = true;
    InmnuSize[CustomSizeIndex].tag = SizeFactorText(sizeFactor);
}

std::optional<LogoMenu::Rendering> LogoMenu::ChooseSizeAndOpacity(std::int16_t opacity, int sizeIndex) {
    std::optional<std::int16_t> chosenOpacity;
    if (opacity == -1) {
        for (int k = 0; k < 10 && !chosenOpacity; ++k)
            if (InmnuOpacity[k].checked) chosenOpacity = ToInt16(ReadNumber(InmnuOpacity[k].caption).value_or(0));
    } else {
        chosenOpacity = opacity;
    }
    int chosenSize = sizeIndex;
    if (sizeIndex == -1) {
        for (int i = 0; i <= CustomSizeIndex && chosenSize == -1; ++i)
            if (InmnuSize[i].checked) chosenSize = i;
    }
    // Nothing marked to keep: the window stays as it is.
    if (!chosenOpacity || chosenSize < 0 || chosenSize > CustomSizeIndex) return std::nullopt;

    if (opacity != -1) {
        const auto k = ToInt32(opacity / 10.0).value_or(0) - 1;
        for (int i = 0; i < 10; ++i) InmnuOpacity[i].checked = i == k;
    }
    if (sizeIndex != -1)
        for (int i = 0; i <= CustomSizeIndex; ++i) InmnuSize[i].checked = i == sizeIndex;

    return Rendering{*chosenOpacity, FactorOf(chosenSize)};
}

float LogoMenu::FactorOf(int sizeIndex) const {
    if (sizeIndex != CustomSizeIndex) return SizePreset(sizeIndex);
    return ToSingle(ReadNumber(InmnuSize[CustomSizeIndex].tag).value_or(0)).value_or(0.0f);
}

std::optional<float> LogoMenu::MarkedFactor() const {
    for (int i = 0; i <= CustomSizeIndex; ++i)
        if (InmnuSize[i].checked && FactorOf(i) > 0) return FactorOf(i);
    return std::nullopt;
}

void LogoMenu::UpdateMakeAllVisibility(std::size_t loadedWindows, bool aboutOpen) {
    InmnuLogo[MakeSingleExeAllItem].visible =
        loadedWindows > 1u + (aboutOpen ? 1u : 0u) && InmnuLogo[MakeSingleExeItem].visible;
}

double SizePresetValue(int index) {
    std::wstring_view presets = SizePresets;
    for (int i = 0; i < index; ++i) {
        const auto cut = presets.find(L'\\');
        if (cut == std::wstring_view::npos) return 0.0;
        presets.remove_prefix(cut + 1);
    }
    return ReadNumber(presets.substr(0, presets.find(L'\\'))).value_or(0);
}

float SizePreset(int index) { return ToSingle(SizePresetValue(index)).value_or(0.0f); }

std::optional<int> NextSizePreset(float factor, int direction) {
    for (int step = 0; step < CustomSizeIndex; ++step) {
        const int i = direction > 0 ? step : CustomSizeIndex - 1 - step;
        if (direction > 0 ? SizePreset(i) > factor : SizePreset(i) < factor) return i;
    }
    return std::nullopt;
}

std::wstring SizeFactorText(float factor) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, factor);
    return std::wstring(buffer, ec == std::errc() ? end : buffer);
}

}  // namespace velvane
