#include "Fixture.h"
#include "render/ScaleArithmetic.h"

namespace velvane::testing {

static double ThreadCpuMs() {
    FILETIME unused, kernel, user;
    GetThreadTimes(GetCurrentThread(), &unused, &unused, &kernel, &user);
    return ((static_cast<ULONGLONG>(kernel.dwHighDateTime + user.dwHighDateTime) << 32) + kernel.dwLowDateTime + user.dwLowDateTime) / 1e4;
}

// The steps themselves are the arithmetic's (its own table); here: they are what is pushed, and when.
TEST_F(LogoTest, FadePushesItsAlphaStepsAtLeastTenMillisecondsApartWithoutBusyWaiting) {
    const struct { int width, height; std::int16_t opacity; float size; bool noEffect, fades; } cases[] = {
        {412, 163, 100, 1, false, true}, {412, 163, 50, 0.5f, false, true}, {200, 1000, 20, 1, false, true},
        {412, 163, 100, 1, true, false}, {865, 801, 100, 1, false, false} /* large both ways */};
    for (const auto& c : cases) {
        const std::wstring path = Png(L"fade.png", c.width, c.height);
        PushRecorder recorder;
        const double cpu = ThreadCpuMs();
        mMain::OpenLogo(path, c.noEffect, false, false, c.noEffect, CenterPos, CenterPos, c.opacity, c.size, false);
        const std::uint8_t alpha = *AlphaFromOpacity(c.opacity);
        const std::vector<std::uint8_t> steps = c.fades ? FadeSteps(alpha) : std::vector<std::uint8_t>{};
        std::vector<int> expected(steps.begin(), steps.end());
        expected.push_back(alpha);
        EXPECT_EQ(recorder.alphas, expected) << c.width << "x" << c.height << " at " << c.opacity;
        for (std::size_t i = 1; i < recorder.times.size(); ++i)
            EXPECT_GE(recorder.times[i] - recorder.times[i - 1], std::chrono::milliseconds(10)) << "step " << i;
        EXPECT_NE(IsTopMost(FrmLogo::Loaded().back()->hWnd()), c.noEffect) << "top-most unless asked not to be";
        EXPECT_TRUE(expected.size() < 20 || ThreadCpuMs() - cpu < 5.0 * expected.size()) << "the fade keeps a core busy between its steps";
        mMain::UnloadEveryWindow();
    }
}

TEST_F(LogoTest, WindowClosedDuringItsFadeIsNeverShownAndAboutCanOpenAgain) {
    PushRecorder recorder;
    recorder.afterPush = [](HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); };
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 100, 1, false);
    EXPECT_TRUE(FrmLogo::Loaded().empty() && recorder.window && !IsWindow(recorder.window));
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty() && !mMain::AboutOpen);
    recorder.afterPush = nullptr;
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().size() == 1 && mMain::AboutOpen);
}

}  // namespace velvane::testing
