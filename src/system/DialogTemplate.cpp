#include "system/DialogTemplate.h"

#include <cstdlib>
#include <initializer_list>

namespace velvane {

std::vector<WORD> DialogTemplate(const wchar_t* title, DWORD style, DWORD exStyle, int cx, int cy,
                                 const std::vector<DialogControl>& controls) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool known = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const LOGFONTW& font = metrics.lfMessageFont;
    const int dpi = GetDeviceCaps(ScopedWindowDC(nullptr).get(), LOGPIXELSY);  // the system's, which the metrics are in
    const int points = known && font.lfHeight != 0 && dpi > 0 ? MulDiv(std::abs(font.lfHeight), 72, dpi) : 0;

    std::vector<WORD> t;
    const auto word = [&t](std::initializer_list<int> values) {
        for (int value : values) t.push_back(static_cast<WORD>(value));
    };
    const auto dword = [&word](DWORD value) { word({LOWORD(value), HIWORD(value)}); };
    const auto text = [&t](const std::wstring& value) { t.insert(t.end(), value.c_str(), value.c_str() + value.size() + 1); };
    word({1, 0xFFFF}), dword(0), dword(exStyle), dword(style | DS_SETFONT);
    word({static_cast<int>(controls.size()), 0, 0, cx, cy, 0, 0});  // no menu, the standard class
    text(title);
    word({points > 0 ? points : 9, known && font.lfWeight ? static_cast<int>(font.lfWeight) : FW_NORMAL,
          known ? MAKEWORD(font.lfItalic, font.lfCharSet) : MAKEWORD(0, DEFAULT_CHARSET)});
    text(known && font.lfFaceName[0] ? font.lfFaceName : L"Segoe UI");
    for (const DialogControl& c : controls) {
        if (t.size() % 2) t.push_back(0);  // each control's record starts on a DWORD
        dword(0), dword(c.exStyle), dword(WS_CHILD | WS_VISIBLE | c.style);
        word({c.x, c.y, c.cx, c.cy}), dword(static_cast<DWORD>(c.id));
        text(c.type), text(c.text), word({0});
    }
    return t;
}

}  // namespace velvane
