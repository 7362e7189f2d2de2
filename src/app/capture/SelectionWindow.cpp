#include "app/capture/SelectionWindow.h"

#include <windowsx.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <string>

#include "system/TopDownBitmap.h"

namespace velvane::capture {
namespace {

constexpr COLORREF kOutline = RGB(0, 120, 215), kLabelBack = RGB(32, 32, 32), kLabelText = RGB(255, 255, 255);

struct Selecting {
    explicit Selecting(const ScreenShot& taken) : shot(taken) {}
    const ScreenShot& shot;
    ScopedMemoryDC bright, dimmed, buffer;
    ScopedBitmap dimmedBitmap, bufferBitmap;
    ScopedSelection brightShown, dimmedShown, bufferShown;
    ScopedFont font;
    bool dragging = false, wasActive = false, done = false;
    Pixel from, to;
    std::optional<PixelRect> chosen;
};

// The screen at half its brightness, computed once: the drag only copies.
ScopedBitmap Dimmed(const ScreenShot& shot) {
    const PixelRect& screen = shot.Screen();
    void* bits = nullptr;
    ScopedBitmap dimmed = TopDownBitmap(screen.Width(), screen.Height(), bits);
    if (!dimmed) return dimmed;
    const std::size_t count = static_cast<std::size_t>(screen.Width()) * static_cast<std::size_t>(screen.Height());
    const std::uint32_t* from = shot.Bits();
    auto* to = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < count; ++i) to[i] = (from[i] >> 1) & 0x7F7F7F7Fu;
    return dimmed;
}

bool Prepare(Selecting& s) {
    const PixelRect& screen = s.shot.Screen();
    const ScopedWindowDC display(nullptr);
    s.bright.reset(CreateCompatibleDC(display.get()));
    s.dimmed.reset(CreateCompatibleDC(display.get()));
    s.buffer.reset(CreateCompatibleDC(display.get()));
    s.dimmedBitmap = Dimmed(s.shot);
    s.bufferBitmap.reset(CreateCompatibleBitmap(display.get(), screen.Width(), screen.Height()));
    if (!s.bright || !s.dimmed || !s.buffer || !s.dimmedBitmap || !s.bufferBitmap) return false;
    s.brightShown.Select(s.bright.get(), s.shot.Bitmap());
    s.dimmedShown.Select(s.dimmed.get(), s.dimmedBitmap.get());
    s.bufferShown.Select(s.buffer.get(), s.bufferBitmap.get());
    // The user's message font at the screen's scale (the stock GUI font stays small on a high-DPI screen).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) s.font.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    return true;
}

void Paint(Selecting& s, HDC target) {
    const PixelRect& screen = s.shot.Screen();
    HDC dc = s.buffer.get();
    BitBlt(dc, 0, 0, screen.Width(), screen.Height(), s.dimmed.get(), 0, 0, SRCCOPY);
    if (s.dragging) {
        const PixelRect chosen = DraggedRect(s.from, s.to, screen);
        RECT r{chosen.left - screen.left, chosen.top - screen.top, chosen.right - screen.left, chosen.bottom - screen.top};
        BitBlt(dc, r.left, r.top, chosen.Width(), chosen.Height(), s.bright.get(), r.left, r.top, SRCCOPY);
        // Just outside the selection, so every pixel chosen shows as it will be pinned.
        RECT outline = r;
        InflateRect(&outline, 1, 1);
        const ScopedBrush pen(CreateSolidBrush(kOutline));
        FrameRect(dc, &outline, pen.get());
        const std::wstring label = std::to_wstring(chosen.Width()) + L" \u00D7 " + std::to_wstring(chosen.Height());
        const ScopedSelection font(dc, s.font ? s.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
        constexpr int kPad = 4;
        const Pixel at = LabelPlace(chosen, extent.cx + 2 * kPad, extent.cy + 2 * kPad, screen);
        RECT box{at.x - screen.left, at.y - screen.top, at.x - screen.left + extent.cx + 2 * kPad, at.y - screen.top + extent.cy + 2 * kPad};
        const ScopedBrush back(CreateSolidBrush(kLabelBack));
        FillRect(dc, &box, back.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kLabelText);
        TextOutW(dc, box.left + kPad, box.top + kPad, label.c_str(), static_cast<int>(label.size()));
    }
    BitBlt(target, 0, 0, screen.Width(), screen.Height(), dc, 0, 0, SRCCOPY);
}

void Finish(Selecting& s, std::optional<PixelRect> chosen) {
    s.chosen = chosen;
    s.done = true;
}

Pixel ScreenPixel(const Selecting& s, LPARAM lParam) {
    return {GET_X_LPARAM(lParam) + s.shot.Screen().left, GET_Y_LPARAM(lParam) + s.shot.Screen().top};
}

LRESULT CALLBACK SelectionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* s = reinterpret_cast<Selecting*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!s || s->done) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        Paint(*s, dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        s->dragging = true;
        s->from = s->to = ScreenPixel(*s, lParam);
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (!s->dragging) return 0;
        s->to = ScreenPixel(*s, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (!s->dragging) return 0;
        s->to = ScreenPixel(*s, lParam);
        ReleaseCapture();
        Finish(*s, IsClick(s->from, s->to) ? s->shot.WindowAt(s->from) : DraggedRect(s->from, s->to, s->shot.Screen()));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE:
        Finish(*s, std::nullopt);
        return 0;
    case WM_ACTIVATE:
        // Another window taken to the front would leave this one up with no keyboard to end it.
        if (LOWORD(wParam) != WA_INACTIVE) s->wasActive = true;
        else if (s->wasActive) Finish(*s, std::nullopt);
        return 0;
    case WM_KEYDOWN: {
        if (wParam == VK_ESCAPE) Finish(*s, std::nullopt);
        const int dx = wParam == VK_LEFT ? -1 : wParam == VK_RIGHT ? 1 : 0, dy = wParam == VK_UP ? -1 : wParam == VK_DOWN ? 1 : 0;
        POINT pointer{};
        if ((dx || dy) && GetCursorPos(&pointer)) {
            SetCursorPos(pointer.x + dx, pointer.y + dy);
            if (s->dragging) s->to = {pointer.x + dx, pointer.y + dy};
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// Shows the selecting window and runs its messages until the user has chosen; then the
// screen's copy leaves its DCs and done is told the choice, before the window goes.
void RunSelection(const ScreenShot& shot, const std::function<void(std::optional<PixelRect>)>& done, std::atomic<HWND>& shown) {
    Selecting s(shot);
    const auto tell = [&] {
        s.done = true;
        s.brightShown.reset();  // the screen's copy is the caller's again
        shown = nullptr;
        done(s.chosen);
    };
    if (!Prepare(s)) return tell();
    WNDCLASSW wc{};
    wc.lpfnWndProc = SelectionProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    wc.lpszClassName = SelectionWindowClass;
    RegisterClassW(&wc);
    const PixelRect& screen = shot.Screen();
    const HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, SelectionWindowClass, L"Pin from Screen", WS_POPUP, screen.left,
                                      screen.top, screen.Width(), screen.Height(), nullptr, nullptr, wc.hInstance, &s);
    if (!hwnd) return tell();
    shown = hwnd;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    MSG msg;
    BOOL got = 1;
    while (!s.done && (got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that waits for it, when this is its thread
    tell();
    DestroyWindow(hwnd);
}

}  // namespace

std::optional<PixelRect> SelectOnScreen(const ScreenShot& shot) {
    // The selecting window lives on a thread of its own, so that the pin opens while it goes:
    // taking a window of the whole screen down can take a while (Wine waits up to 2 s for one).
    struct Outcome {
        std::optional<PixelRect> chosen;
        ScopedHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        std::atomic<HWND> shown{nullptr};
        std::atomic<bool> told{false};
    };
    const auto outcome = std::make_shared<Outcome>();
    const std::function<void(std::optional<PixelRect>)> done = [outcome](std::optional<PixelRect> chosen) {
        if (outcome->told.exchange(true)) return;
        outcome->chosen = chosen;
        SetEvent(outcome->ready.get());
    };
    try {
        if (!outcome->ready) throw std::system_error(std::error_code());
        std::thread([&shot, done, outcome] {
            try {
                RunSelection(shot, done, outcome->shown);
            } catch (...) {
                done(std::nullopt);  // never left waiting
            }
        }).detach();
    } catch (const std::exception&) {
        RunSelection(shot, done, outcome->shown);  // no thread to be had: here, as it goes
        return outcome->chosen;
    }
    // This thread's windows go on answering meanwhile; a quit ends the selection first.
    std::optional<int> quit;
    const HANDLE ready = outcome->ready.get();
    while (MsgWaitForMultipleObjects(1, &ready, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (const HWND shown = outcome->shown; shown && !quit) PostMessageW(shown, WM_CANCELMODE, 0, 0);
                quit = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (quit) PostQuitMessage(*quit);  // for the loop that waits for it
    return outcome->chosen;
}

void WaitWhileSelectionGoes() {
    const auto ours = [] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, SelectionWindowClass, nullptr));) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId()) return true;
        }
        return false;
    };
    for (const DWORD until = GetTickCount() + 3000; ours() && static_cast<LONG>(until - GetTickCount()) > 0;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return PostQuitMessage(static_cast<int>(msg.wParam));
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace velvane::capture
