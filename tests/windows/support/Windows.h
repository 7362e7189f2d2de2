#pragma once
// Helpers for tests that open real logo windows in this process.

#include <gtest/gtest.h>

#include "startup/Main.h"
#include "support/TestImages.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

namespace velvane::testing {

// Closes every logo window, the about window first, so that closing the last image
// window does not end the test process.
inline void CloseEveryWindow() {
    for (FrmLogo* w : std::vector<FrmLogo*>(FrmLogo::Loaded()))
        if (FrmLogo::IsLoaded(w) && w->AboutMode()) w->Unload();
    mMain::UnloadEveryWindow();
}

inline RECT ScreenRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

inline bool IsTopMost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
inline bool IsLayered(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

// A section of the window list of its own, removed afterwards.
class ScopedListSection {
public:
    ScopedListSection() : saved_(mMain::SettingsSection) {
        mMain::SettingsSection = L"Velvane.test." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                 std::to_wstring(++counter_);
    }
    ~ScopedListSection() {
        RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
        mMain::SettingsSection = saved_;
    }
    ScopedListSection(const ScopedListSection&) = delete;
    ScopedListSection& operator=(const ScopedListSection&) = delete;
    static std::wstring KeyPath() { return L"Software\\Velvane\\" + mMain::SettingsSection; }

private:
    std::wstring saved_;
    static inline int counter_ = 0;
};

// Each test starts and ends with no logo window, and lists its windows in a section of its own.
class LogoWindowTest : public ::testing::Test {
protected:
    ScopedListSection section;

    void SetUp() override {
        ASSERT_TRUE(FrmLogo::Loaded().empty());
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "tests expect a 1024 x 768 screen at 96 dpi";
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
        ASSERT_DOUBLE_EQ(TwipsPerPixelX(), 15.0);
    }
    void TearDown() override {
        CloseEveryWindow();
        EXPECT_FALSE(mMain::AboutOpen);
    }
    FrmLogo* Newest() const { return FrmLogo::Loaded().empty() ? nullptr : FrmLogo::Loaded().back(); }
};

// A logo window test with one solid PNG of the given size in a scratch folder.
template <int Width, int Height>
class ImageWindowTest : public LogoWindowTest {
protected:
    void SetUp() override {
        LogoWindowTest::SetUp();
        logo = scratch.File(L"logo.png");
        ASSERT_TRUE(WriteSolidPng(logo, Width, Height));
    }

    ScratchFolder scratch;
    std::wstring logo;
};

}  // namespace velvane::testing
