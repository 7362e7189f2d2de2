#pragma once
// In-process tests: real logo windows in this process, listed in a registry section of their
// own, with test files in the temporary folder that are removed afterwards.

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>

#include <shellapi.h>

#include "app/PinSetStore.h"
#include "system/ProgramFile.h"
#include "system/TempFiles.h"
#include "system/GdiPlus.h"
#include "core/CommandLine.h"
#include "app/Main.h"
#include "pin/FrmLogo.h"
#include "app/LogoWindows.h"

namespace velvane::testing {

inline RECT Rect(const FrmLogo* w) { RECT r{}; return GetWindowRect(w->hWnd(), &r), r; }
inline SIZE Size(const FrmLogo* w) { return {Rect(w).right - Rect(w).left, Rect(w).bottom - Rect(w).top}; }
inline bool IsTopMost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline bool IsBelow(HWND lower, HWND upper) {
    while ((upper = GetWindow(upper, GW_HWNDNEXT)) && upper != lower) {}
    return upper == lower;
}

class LogoTest : public ::testing::Test {
public:
    static std::wstring ListKey() { return L"Software\\Velvane\\" + mMain::SettingsSection; }

protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)) && GetSystemMetrics(SM_CXSCREEN) == 1024) << "a 1024 x 768 screen at 96 dpi";
        mMain::SettingsSection = L"Velvane.test." + std::to_wstring(GetCurrentProcessId());
        mMain::StartNewPinSet();  // as a fresh copy: the test before retired its set, closing its last window
        logo = Png(L"logo.png", 412, 163);
    }
    void TearDown() override {
        for (HWND h : FrmLogo::LoadedHandles())
            if (FrmLogo* w = FrmLogo::Find(h); w && w->AboutMode()) w->Unload();  // else closing the last image would end the program
        mMain::UnloadEveryWindow();
        EXPECT_FALSE(mMain::AboutOpen);
        RegDeleteTreeW(HKEY_CURRENT_USER, ListKey().c_str());
        // This run's own pin sets and sign-in value: whatever an earlier run left does not meet the next.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", mMain::SettingsSection.c_str());
        const std::wstring own = mMain::OwnPinSetPath(), pins = own.substr(0, own.rfind(L"\\Open\\")) + L'\0';
        SHFILEOPSTRUCTW remove{nullptr, FO_DELETE, pins.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
        if (!own.empty()) SHFileOperationW(&remove);
        for (const std::wstring& f : files_) DeleteFileW(f.c_str());
        OleUninitialize();
    }
    std::wstring File(const std::wstring& name) {  // deleted afterwards
        return files_.emplace_back(mMain::GetTempFolder() + L"velvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name);
    }
    // Written by GDI+, of straight BGRA rows when given, else clear.
    std::wstring Png(const std::wstring& name, int width, int height, const std::uint8_t* bgra = nullptr) {
        GdiplusSession session;
        Gdiplus::GpBitmap* bitmap = nullptr;
        gdip::GdipCreateBitmapFromScan0(width, height, bgra ? 4 * width : 0, PixelFormat32bppARGB, const_cast<BYTE*>(bgra), &bitmap);
        EXPECT_EQ(gdip::GdipSaveImageToFile(GdipBitmap(bitmap).get(), File(name).c_str(), &PngEncoder, nullptr), Gdiplus::Ok);
        return files_.back();
    }
    // A 32-bit BMP of width x height pixels all of one value, top-down: large ones are quick to make.
    std::wstring Bmp(const std::wstring& name, std::uint32_t width, std::uint32_t height, std::uint8_t value = 0x80) {
        std::vector<std::uint8_t> bmp(54 + width * height * 4, value);
        const std::uint32_t header[] = {static_cast<std::uint32_t>(bmp.size()), 0, 54, 40, width, 0 - height, 1 | 32 << 16, 0};
        std::memcpy(bmp.data(), "BM", 2), std::memcpy(bmp.data() + 2, header, sizeof header);
        const std::wstring path = File(name);
        EXPECT_TRUE(WriteWholeFile(path, {&bmp}, /*over the one there*/ Exists(path)));
        return path;
    }
    // Opens a window without the fade; the new window, or nullptr when none opened.
    FrmLogo* Open(const std::wstring& path, float size = 1, std::int16_t opacity = 100, bool dontOnTop = false) {
        const std::size_t before = FrmLogo::Loaded().size();
        mMain::OpenLogo(path, dontOnTop, false, false, true, CenterPos, CenterPos, opacity, size, false);
        return FrmLogo::Loaded().size() == before + 1 ? FrmLogo::Loaded().back() : nullptr;
    }
    std::wstring logo;

private:
    std::vector<std::wstring> files_;
};

// Puts another function in this program's import of a system function while alive (the
// program's own code is linked in, so every call it makes goes through the swapped entry).
class ImportHook {
public:
    ImportHook(const wchar_t* dll, const char* name, void* with) : slot_(Slot(dll, name)), real(slot_ ? *slot_ : nullptr) { Write(with); }
    ~ImportHook() { Write(real); }
    ImportHook(const ImportHook&) = delete;  // (no assignment either: real is const)

private:
    static void** Slot(const wchar_t* dll, const char* name) {  // the import address table's entry that holds the function
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto& table = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew)
                                ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
        const auto wanted = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name));
        void** const slots = reinterpret_cast<void**>(base + table.VirtualAddress);
        void** const found = std::find(slots, slots + table.Size / sizeof(void*), wanted);
        return found != slots + table.Size / sizeof(void*) ? found : nullptr;
    }
    void Write(void* value) {
        DWORD old = 0;
        EXPECT_TRUE(slot_ && VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old)) << "cannot watch a system function";
        if (slot_) *slot_ = value, VirtualProtect(slot_, sizeof(void*), old, &old);
    }
    void** slot_;

public:
    void* const real;
};

// The time this thread has run, in milliseconds.
inline double ThreadCpuMs() {
    FILETIME unused, kernel, user;
    GetThreadTimes(GetCurrentThread(), &unused, &unused, &kernel, &user);
    return ((static_cast<ULONGLONG>(kernel.dwHighDateTime + user.dwHighDateTime) << 32) + kernel.dwLowDateTime + user.dwLowDateTime) / 1e4;
}

// Records the constant alpha, per-pixel alpha format, flags and time of every picture pushed to a
// layered window while alive, by swapping this program's import of UpdateLayeredWindow; the pushes
// still happen. (Under Wine the screen cannot show per-pixel alpha: this is where it is seen.)
class PushRecorder {
public:
    std::vector<int> alphas;
    std::vector<std::pair<int, DWORD>> formats;  // AlphaFormat, flags
    std::vector<std::chrono::steady_clock::time_point> times, ends;  // each push's start and end
    double cpuBetween = 0;  // the thread's time run between pushes
    HWND window = nullptr;
    std::function<void(HWND)> afterPush;
    bool keepPixels = false;
    std::vector<std::vector<std::uint8_t>> pixels;  // each push's, top-down, when kept

    PushRecorder() { active_ = this; }  // (no copies: its hook has none)
    ~PushRecorder() { active_ = nullptr; }

private:
    using Fn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    static BOOL WINAPI Record(HWND h, HDC d, POINT* p, SIZE* s, HDC sd, POINT* sp, COLORREF k, BLENDFUNCTION* b, DWORD f) {
        // The time first: under Wine the thread's times are asked of the server, which a busy machine may take
        // milliseconds to answer, and the step would seem shorter than the program made it.
        const auto now = std::chrono::steady_clock::now();
        PushRecorder& r = *active_;
        if (!r.times.empty()) r.cpuBetween += ThreadCpuMs() - r.cpuAtEnd_;
        r.alphas.push_back(b ? b->SourceConstantAlpha : -1), r.times.push_back(now), r.window = h;
        r.formats.emplace_back(b ? b->AlphaFormat : -1, f);
        DIBSECTION dib{};
        if (r.keepPixels && s && GetObjectW(GetCurrentObject(sd, OBJ_BITMAP), sizeof dib, &dib) == sizeof dib) {
            auto& kept = r.pixels.emplace_back();
            for (LONG y = 0; y < s->cy; ++y) {
                const auto* row = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes;
                kept.insert(kept.end(), row, row + 4 * s->cx);
            }
        }
        const BOOL result = reinterpret_cast<Fn>(r.hook_.real)(h, d, p, s, sd, sp, k, b, f);
        r.ends.push_back(std::chrono::steady_clock::now());
        if (r.afterPush) r.afterPush(h);
        r.cpuAtEnd_ = ThreadCpuMs();
        return result;
    }
    ImportHook hook_{L"user32.dll", "UpdateLayeredWindow", reinterpret_cast<void*>(&Record)};
    double cpuAtEnd_ = 0;
    static inline PushRecorder* active_ = nullptr;
};

}  // namespace velvane::testing
