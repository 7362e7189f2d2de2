#include "pin/EditToolbar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <string>

#include "common/ProgramTexts.h"

namespace velvane {

namespace {

struct ToolButton {
    MarkTool tool;
    const wchar_t* caption;
    const wchar_t* tip;
};
constexpr ToolButton kTools[] = {
    {MarkTool::Pen, L"Pen", L"Pen (P)"},         {MarkTool::Marker, L"Marker", L"Marker (M)"},
    {MarkTool::Line, L"Line", L"Line (L)"},      {MarkTool::Arrow, L"Arrow", L"Arrow (A)"},
    {MarkTool::Rectangle, L"Rect", L"Rectangle (R)"}, {MarkTool::Ellipse, L"Ellipse", L"Ellipse (E)"},
    {MarkTool::Text, L"Text", L"Text (T)"},      {MarkTool::Blur, L"Blur", L"Blur (B)"},
    {MarkTool::Crop, L"Crop", L"Crop (C)"}};
// In the order of kMarkColours.
constexpr const wchar_t* kSwatchTips[] = {L"Red (1)",   L"Black (2)", L"White (3)",   L"Yellow (4)",
                                          L"Green (5)", L"Blue (6)",  L"Magenta (7)", L"Grey (8)"};

constexpr int kFirstId = 100;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
// The widest width text, digits being of one width in the usual fonts.
constexpr const wchar_t* kWidestWidth = L"00 px";
static_assert(kMaxMarkWidth < 100, "the width text is measured for two digits");

bool RegisterToolbarClass(WNDPROC windowProc) {
    static const bool registered = [windowProc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = EditToolbarWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

int SystemDpi() {
    const ScopedWindowDC screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The monitor's own scale where Windows can tell it (8.1 on), else the system's.
int MonitorDpi(HMONITOR monitor) {
    using Query = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const ScopedLibrary shcore(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    static const Query query =
        shcore ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor"))) : nullptr;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (query && monitor && SUCCEEDED(query(monitor, kEffectiveDpi, &x, &y)) && x > 0) return static_cast<int>(x);
    return SystemDpi();
}

// The message font is given at the system's scale.
ScopedFont MessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    else if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return ScopedFont();
    font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return ScopedFont(CreateFontIndirectW(&font));
}

bool Inside(HWND control, LPARAM lParam) {
    RECT client{};
    GetClientRect(control, &client);
    return PtInRect(&client, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

void ShowPressed(HWND button, bool pressed) {
    const bool now = (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (now != pressed) SendMessageW(button, BM_SETSTATE, pressed ? TRUE : FALSE, 0);
}

// A standard button takes the focus when pressed, and so activates the toolbar, which would
// take the keys from the pin. These buttons are pressed and clicked here instead, never focused.
LRESULT CALLBACK PressWithoutFocus(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(button);
        ShowPressed(button, true);
        return 0;
    case WM_MOUSEMOVE: {
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);  // hot tracking
        if (GetCapture() == button) ShowPressed(button, Inside(button, lParam));
        return result;
    }
    case WM_LBUTTONUP: {
        if (GetCapture() != button) return 0;
        const bool clicked = Inside(button, lParam);
        ReleaseCapture();  // its WM_CAPTURECHANGED lets the button up
        // The last use of the button: the click may end the toolbar.
        if (clicked)
            SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return 0;
    }
    case WM_CAPTURECHANGED:
        ShowPressed(button, false);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(button, &PressWithoutFocus, 0);
        break;
    default: break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

COLORREF ColourRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

EditToolbar::EditToolbar(HWND pin, Events& events) : events_(events), pin_(pin) {
    if (!RegisterToolbarClass(&EditToolbar::WindowProc)) return;
    // Owned by the pin: it stays above the pin, and goes when the pin goes.
    const HWND created = CreateWindowExW(kExStyle, EditToolbarWindowClass, ProgramTitle, kStyle, 0, 0, 0, 0, pin, nullptr,
                                         GetModuleHandleW(nullptr), this);
    if (!created) {
        hwnd_.release();  // a window refused after WM_NCCREATE is already gone
        return;
    }
    CreateControls();
    Layout(MonitorDpi(MonitorFromWindow(pin, MONITOR_DEFAULTTONEAREST)));
}

EditToolbar::~EditToolbar() = default;

void EditToolbar::CreateControls() {
    static_assert(std::size(kTools) == kToolCount && std::size(kSwatchTips) == kSwatchCount &&
                  std::size(kMarkColours) == kSwatchCount, "a button for each tool and colour");
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto add = [&](int index, const wchar_t* windowClass, const wchar_t* text, DWORD style) {
        controls_[index] = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_.get(),
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + index)), instance, nullptr);
        if (controls_[index] && index != kWidthText) SetWindowSubclass(controls_[index], &PressWithoutFocus, 0, 0);
    };
    // Checked from ShowState alone, so the buttons always show the pin's tool.
    for (int i = 0; i < kToolCount; ++i)
        add(i, WC_BUTTONW, kTools[i].caption, BS_RADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP : 0));
    for (int i = 0; i < kSwatchCount; ++i) add(kToolCount + i, WC_BUTTONW, L"", BS_OWNERDRAW);
    add(kMore, WC_BUTTONW, L"More...", BS_PUSHBUTTON);
    add(kThinner, WC_BUTTONW, L"-", BS_PUSHBUTTON);
    add(kWidthText, WC_STATICW, L"", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
    add(kThicker, WC_BUTTONW, L"+", BS_PUSHBUTTON);
    add(kDone, WC_BUTTONW, L"Done", BS_PUSHBUTTON);

    // Added after the buttons' own subclass, so the tips see a press before it is taken. They
    // show while the toolbar is inactive, which it always is.
    tips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_.get(), nullptr, instance, nullptr));
    if (!tips_) return;
    const auto tip = [&](int index, const wchar_t* text) {
        if (!controls_[index]) return;
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd_.get();
        info.uId = reinterpret_cast<UINT_PTR>(controls_[index]);
        info.lpszText = const_cast<wchar_t*>(text);  // copied by the tooltip
        SendMessageW(tips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    };
    for (int i = 0; i < kToolCount; ++i) tip(i, kTools[i].tip);
    for (int i = 0; i < kSwatchCount; ++i) tip(kToolCount + i, kSwatchTips[i]);
    tip(kMore, L"More colours");
    tip(kThinner, L"Thinner (-)");
    tip(kThicker, L"Thicker (+)");
    tip(kDone, L"Done (Enter)");
}

void EditToolbar::Layout(int dpi) {
    if (!hwnd_) return;
    dpi_ = dpi;
    const auto scale = [dpi](int pixels) { return MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI); };
    ScopedFont font = MessageFont(dpi);
    const HFONT shown = font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    const ScopedWindowDC dc(hwnd_.get());
    const ScopedSelection chosen(dc.get(), shown);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    const auto textWidth = [&dc](const wchar_t* text) {
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &extent);
        return static_cast<int>(extent.cx);
    };
    const int margin = scale(4), gap = scale(2), rowGap = scale(4), groupGap = scale(10), padding = scale(14);
    const int height = metrics.tmHeight + scale(8);
    int toolWidth = height;
    for (const ToolButton& tool : kTools) toolWidth = std::max(toolWidth, textWidth(tool.caption) + padding);
    const int moreWidth = textWidth(L"More...") + padding;
    const int widthTextWidth = textWidth(kWidestWidth) + scale(8);
    const int doneWidth = std::max(toolWidth, textWidth(L"Done") + padding);

    const int toolsRow = kToolCount * toolWidth + (kToolCount - 1) * gap;
    const int coloursRow = kSwatchCount * height + (kSwatchCount - 1) * gap + groupGap + moreWidth + groupGap + height + gap +
                           widthTextWidth + gap + height + groupGap + doneWidth;
    const int clientWidth = 2 * margin + std::max(toolsRow, coloursRow);
    const int clientHeight = 2 * margin + 2 * height + rowGap;

    const auto place = [&](int index, int x, int y, int width) {
        if (!controls_[index]) return;
        SendMessageW(controls_[index], WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
        MoveWindow(controls_[index], x, y, width, height, TRUE);
    };
    int x = margin;
    for (int i = 0; i < kToolCount; ++i, x += toolWidth + gap) place(i, x, margin, toolWidth);
    const int second = margin + height + rowGap;
    x = margin;
    for (int i = 0; i < kSwatchCount; ++i, x += height + gap) place(kToolCount + i, x, second, height);
    x += groupGap - gap;
    place(kMore, x, second, moreWidth);
    x += moreWidth + groupGap;
    place(kThinner, x, second, height);
    x += height + gap;
    place(kWidthText, x, second, widthTextWidth);
    x += widthTextWidth + gap;
    place(kThicker, x, second, height);
    // At the right end, whichever row is the longer.
    place(kDone, clientWidth - margin - doneWidth, second, doneWidth);
    font_ = std::move(font);  // the old one only now, no control showing it any more

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    size_ = {frame.right - frame.left, frame.bottom - frame.top};
    SetWindowPos(hwnd_.get(), nullptr, 0, 0, size_.cx, size_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditToolbar::PlaceBeside(const RECT& pin) {
    if (!hwnd_) return;
    const int dpi = MonitorDpi(MonitorFromRect(&pin, MONITOR_DEFAULTTONEAREST));
    if (dpi != dpi_) Layout(dpi);
    pinRect_ = pin;
    placed_ = true;
    MoveBeside(pin);
}

void EditToolbar::MoveBeside(const RECT& pin) {
    RECT work{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&pin, MONITOR_DEFAULTTONEAREST), &monitor)) work = monitor.rcWork;
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int gap = MulDiv(6, dpi_, USER_DEFAULT_SCREEN_DPI);
    const int width = static_cast<int>(size_.cx), height = static_cast<int>(size_.cy);
    const int left = static_cast<int>(work.left), top = static_cast<int>(work.top);
    const int right = static_cast<int>(work.right), bottom = static_cast<int>(work.bottom);
    const int below = static_cast<int>(pin.bottom) + gap, above = static_cast<int>(pin.top) - gap - height;
    const int roomBelow = bottom - below, roomAbove = above + height - top;
    // Where neither side has room, the roomier one, clamped over the pin.
    int y = roomBelow < height && (roomAbove >= height || roomAbove > roomBelow) ? above : below;
    y = std::max(top, std::min(y, bottom - height));
    const int x = std::max(left, std::min(static_cast<int>(pin.left), right - width));
    SetWindowPos(hwnd_.get(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void EditToolbar::ShowState(MarkTool tool, std::uint32_t colour, int width) {
    if (!hwnd_) return;
    const auto toolAt = std::find_if(std::begin(kTools), std::end(kTools), [tool](const ToolButton& b) { return b.tool == tool; });
    const int toolIndex = toolAt == std::end(kTools) ? -1 : static_cast<int>(toolAt - std::begin(kTools));
    const auto swatchAt = std::find(std::begin(kMarkColours), std::end(kMarkColours), colour & 0xFFFFFF);
    const int swatch = swatchAt == std::end(kMarkColours) ? -1 : static_cast<int>(swatchAt - std::begin(kMarkColours));

    if (!stateShown_ || toolIndex != tool_) {
        for (int i = 0; i < kToolCount; ++i)
            SendMessageW(controls_[i], BM_SETCHECK, i == toolIndex ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (!stateShown_ || swatch != swatch_) {
        const int before = swatch_;
        swatch_ = swatch;  // read by the drawing
        for (int redrawn : {before, swatch})
            if (redrawn >= 0) InvalidateRect(controls_[kToolCount + redrawn], nullptr, FALSE);
    }
    if (!stateShown_ || width != width_) SetWindowTextW(controls_[kWidthText], (std::to_wstring(width) + L" px").c_str());
    tool_ = toolIndex;
    width_ = width;
    stateShown_ = true;
}

void EditToolbar::DrawSwatch(const DRAWITEMSTRUCT& item, int swatch) const {
    const auto scale = [this](int pixels) { return std::max(1, MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI)); };
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
    if (swatch == swatch_) {
        for (int ring = scale(2); ring > 0; --ring) {
            FrameRect(item.hDC, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
            InflateRect(&box, -1, -1);
        }
    } else {
        InflateRect(&box, -scale(2), -scale(2));
    }
    // A gap of the face keeps the frame apart from a colour like its own.
    InflateRect(&box, -scale(2), -scale(2));
    if (item.itemState & ODS_SELECTED) OffsetRect(&box, 1, 1);
    const ScopedBrush fill(CreateSolidBrush(ColourRef(kMarkColours[swatch])));
    if (fill) FillRect(item.hDC, &box, fill.get());
    // An edge, so white shows on the face.
    FrameRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNSHADOW));
}

void EditToolbar::Clicked(int control) {
    // The pin keeps the keys, even should the toolbar have got them somehow.
    const HWND focus = GetFocus();
    if (focus && (focus == hwnd_.get() || IsChild(hwnd_.get(), focus))) SetFocus(pin_);
    // Nothing of this object is used after an event: the pin may end the toolbar in it.
    Events& events = events_;
    if (control < kToolCount) events.OnToolChosen(kTools[control].tool);
    else if (control < kToolCount + kSwatchCount) events.OnColourChosen(kMarkColours[control - kToolCount]);
    else if (control == kMore) events.OnMoreColours();
    else if (control == kThinner) events.OnWidthStep(-1);
    else if (control == kThicker) events.OnWidthStep(+1);
    else if (control == kDone) events.OnToolbarDone();
}

LRESULT CALLBACK EditToolbar::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EditToolbar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        // Linked here, not on WM_CREATE, so no message of the window is lost.
        self = static_cast<EditToolbar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_.reset(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failure must not pass through the system's code. The pin's own handlers end the copy
        // on theirs; what still gets here leaves nothing sound to go on from: the process ends as
        // after a crash, its pins kept.
        std::terminate();
    }
}

LRESULT EditToolbar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = hwnd_.get();
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETFOCUS:  // should it be activated after all, the keys still go to the pin
        if (IsWindow(pin_)) SetFocus(pin_);
        return 0;
    case WM_COMMAND: {
        const int control = static_cast<int>(LOWORD(wParam)) - kFirstId;
        if (HIWORD(wParam) != BN_CLICKED || control < 0 || control >= kControlCount || control == kWidthText) break;
        Clicked(control);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int swatch = static_cast<int>(item.CtlID) - kFirstId - kToolCount;
        if (item.CtlType != ODT_BUTTON || swatch < 0 || swatch >= kSwatchCount) break;
        DrawSwatch(item, swatch);
        return TRUE;
    }
    // Scaled by the toolbar itself; the pin places it again as it moves.
    case WM_DPICHANGED: {
        const int dpi = LOWORD(wParam);
        if (dpi > 0 && dpi != dpi_) {
            Layout(dpi);
            if (placed_) MoveBeside(pinRect_);
        }
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS && dpi_ > 0) {  // the message font changed
            Layout(dpi_);
            if (placed_) MoveBeside(pinRect_);
        }
        break;
    case WM_DESTROY:
        // Owned windows go before their owner: the tips are gone already, unless the system differs.
        if (IsWindow(tips_.get())) tips_.reset();
        else tips_.release();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_.release();
        std::fill(std::begin(controls_), std::end(controls_), nullptr);
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace velvane
