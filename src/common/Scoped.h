#pragma once
// Owners for Win32 handles: each frees its handle exactly once, none can be copied.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <utility>

namespace velvane {

template <class Handle, class Traits>
class Scoped {
public:
    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) {}
    ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    // Hands the handle to a new owner, such as the clipboard.
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelObjectTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY k) { RegCloseKey(k); }
};
struct MemoryDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
struct BitmapTraits {
    static HBITMAP Invalid() { return nullptr; }
    static void Close(HBITMAP b) { DeleteObject(b); }
};
struct BrushTraits {
    static HBRUSH Invalid() { return nullptr; }
    static void Close(HBRUSH b) { DeleteObject(b); }
};
struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static void Close(HFONT f) { DeleteObject(f); }
};
struct GlobalTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL g) { GlobalFree(g); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU m) { DestroyMenu(m); }
};
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND w) { DestroyWindow(w); }
};
struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE m) { FreeLibrary(m); }
};

using ScopedFile = Scoped<HANDLE, FileTraits>;
using ScopedHandle = Scoped<HANDLE, KernelObjectTraits>;
using ScopedFind = Scoped<HANDLE, FindTraits>;
using ScopedRegKey = Scoped<HKEY, RegKeyTraits>;
using ScopedMemoryDC = Scoped<HDC, MemoryDCTraits>;
using ScopedBitmap = Scoped<HBITMAP, BitmapTraits>;
using ScopedMenu = Scoped<HMENU, MenuTraits>;
using ScopedBrush = Scoped<HBRUSH, BrushTraits>;
using ScopedFont = Scoped<HFONT, FontTraits>;
using ScopedGlobal = Scoped<HGLOBAL, GlobalTraits>;
using ScopedLibrary = Scoped<HMODULE, LibraryTraits>;
using ScopedWindow = Scoped<HWND, WindowTraits>;

// A DC from GetDC, given back with ReleaseDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back.
class ScopedSelection {
public:
    ScopedSelection() = default;
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() { reset(); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    void Select(HDC dc, HGDIOBJ object) {
        reset();
        dc_ = dc;
        old_ = dc && object ? SelectObject(dc, object) : nullptr;
    }
    void reset() {
        if (dc_ && old_) SelectObject(dc_, old_);
        dc_ = nullptr;
        old_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

}  // namespace velvane
