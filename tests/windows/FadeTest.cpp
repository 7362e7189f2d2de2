#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "startup/CommandLine.h"
#include "support/PushRecorder.h"
#include "support/TestImages.h"
#include "support/Windows.h"

namespace velvane::testing {
namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) { return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

class FadeTest : public LogoWindowTest {
protected:
    void SetUp() override {
        LogoWindowTest::SetUp();
        ASSERT_TRUE(recorder.installed()) << "cannot watch UpdateLayeredWindow";
        logo = scratch.File(L"logo.png");
        ASSERT_TRUE(WriteSolidPng(logo, 412, 163));
    }
    void TearDown() override {
        recorder.afterPush = nullptr;
        LogoWindowTest::TearDown();
    }

    std::vector<int> Alphas() const { return recorder.Alphas(); }

    PushRecorder recorder;
    ScratchFolder scratch;
    std::wstring logo;
};

std::vector<int> Expected(std::initializer_list<int> steps) { return steps; }

TEST_F(FadeTest, FullOpacityFadesInTwentyFiveStepsOfAtLeastTenMilliseconds) {
    const double cpuBefore = ThreadCpuMilliseconds();
    const auto start = Clock::now();
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false);
    const double wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpuMs = ThreadCpuMilliseconds() - cpuBefore;

    std::vector<int> expected;
    for (int a = 10; a <= 250; a += 10) expected.push_back(a);
    expected.push_back(255);
    ASSERT_EQ(Alphas(), expected);
    for (std::size_t i = 1; i < recorder.pushes.size(); ++i)
        EXPECT_GE(recorder.pushes[i].at - recorder.pushes[i - 1].at, std::chrono::milliseconds(10)) << "step " << i;
    EXPECT_TRUE(IsTopMost(Newest()->hWnd()));
    // The wait sleeps: the fade must not keep a core busy for its whole length.
    EXPECT_LT(cpuMs, wallMs * 0.6) << "cpu " << cpuMs << " ms of " << wallMs << " ms";
}

TEST_F(FadeTest, LowOpacityFadesToItsOwnAlpha) {
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 10, 1.0f, false);
    EXPECT_EQ(Alphas(), Expected({10, 20, 25}));
    recorder.pushes.clear();
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 50, 0.5f, false);
    EXPECT_EQ(Alphas(), Expected({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 127}));
}

TEST_F(FadeTest, NoLoadEffectMeansOnePushAndNoTopMostDuringIt) {
    mMain::OpenLogo(logo, true, false, false, true, CenterPos, CenterPos, 100, 1.0f, false);
    EXPECT_EQ(Alphas(), Expected({255}));
    EXPECT_FALSE(IsTopMost(Newest()->hWnd()));
}

TEST_F(FadeTest, ImagesLargeInBothDirectionsDoNotFade) {
    const std::wstring big = scratch.File(L"big.png");
    ASSERT_TRUE(WriteSolidPng(big, 865, 801));
    mMain::OpenLogo(big, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false);
    EXPECT_EQ(Alphas(), Expected({255}));
    Newest()->Unload();

    recorder.pushes.clear();
    const std::wstring tall = scratch.File(L"tall.png");
    ASSERT_TRUE(WriteSolidPng(tall, 200, 1000));
    mMain::OpenLogo(tall, false, false, false, false, CenterPos, CenterPos, 20, 1.0f, false);
    EXPECT_EQ(Alphas(), Expected({10, 20, 30, 40, 50, 51}));
}

TEST_F(FadeTest, WindowClosedDuringItsFadeIsNeverShown) {
    bool closeAsked = false;
    recorder.afterPush = [&](HWND hwnd) {
        if (!closeAsked) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        closeAsked = true;
    };
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false);
    ASSERT_TRUE(closeAsked);
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_FALSE(IsWindow(recorder.pushes.front().window));
}

TEST_F(FadeTest, AboutWindowClosedWhileOpeningLeavesNoAboutFlag) {
    recorder.afterPush = [](HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); };
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty());
    EXPECT_FALSE(mMain::AboutOpen);
    recorder.afterPush = nullptr;
    mMain::ShowAbout();  // a later About opens a new one
    EXPECT_EQ(FrmLogo::Loaded().size(), 1u);
    EXPECT_TRUE(mMain::AboutOpen);
}

}  // namespace
}  // namespace velvane::testing
