#pragma once
// Dialogs built in memory rather than from resources: a table of standard controls laid out in
// dialog units, in the user's message font, which the dialog manager scales to each monitor's DPI.

#include "common/Scoped.h"

#include <string>
#include <vector>

namespace velvane {

// One control, in tab order; WS_CHILD and WS_VISIBLE are added.
struct DialogControl {
    const wchar_t* type;  // window class
    std::wstring text;
    int id;
    DWORD style;
    int x, y, cx, cy;
    DWORD exStyle = 0;
};

// A DLGTEMPLATEEX with its controls, for DialogBoxIndirectParamW (DS_SETFONT is added).
std::vector<WORD> DialogTemplate(const wchar_t* title, DWORD style, DWORD exStyle, int cx, int cy,
                                 const std::vector<DialogControl>& controls);

}  // namespace velvane
