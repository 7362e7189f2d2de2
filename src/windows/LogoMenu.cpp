#include "windows/LogoMenu.h"

#include <charconv>

#include "startup/NumberReading.h"

namespace velvane {

LogoMenu::LogoMenu() {
    const wchar_t* logo[] = {L"Top Most", L"Moveable", L"-", L"Opacity", L"Size", L"Make single Exe!",
                             L"Make single Exe! All Images", L"-", L"About", L"E&xit", L"-"};
    for (std::size_t i = 0; i < InmnuLogo.size(); ++i) InmnuLogo[i].caption = logo[i];
    InmnuLogo[TopMostItem].checked = true;
    InmnuLogo[MoveableItem].checked = true;

    for (std::size_t k = 0; k < 10; ++k) InmnuOpacity[k].caption = std::to_wstring(10 * (k + 1));
    InmnuOpacity[10].caption = L"-";

    const wchar_t* size[] = {L"1/4", L"1/3", L"1/2", L"1", L"2", L"3", L"4", L"Custom", L"-"};
    for (std::size_t i = 0; i < InmnuSize.size(); ++i) InmnuSize[i].caption = size[i];
    InmnuSize[SizeOneIndex].checked = true;
    InmnuSize[CustomSizeIndex].visible = false;
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

std::wstring SizeFactorText(float factor) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, factor);
    return std::wstring(buffer, ec == std::errc() ? end : buffer);
}

}  // namespace velvane
