#include <algorithm>

#include "Fixture.h"

namespace velvane::testing {

// The pushes of a fade: 10, 20, ... then the constant alpha; the steps 10 ms apart, not stretched
// to the 15.6 ms of Windows' own timer tick nor by the time a push takes.
TEST_F(LogoTest, FadePushesItsAlphaStepsTenMillisecondsApartWithoutBusyWaiting) {
    const struct { int width, height; std::int16_t opacity; float size; bool noEffect; int steps, alpha; } cases[] = {
        {412, 163, 100, 1, false, 25, 255}, {412, 163, 50, 0.5f, false, 12, 127}, {200, 1000, 20, 1, false, 5, 51},
        {412, 163, 100, 1, true, 0, 255}, {865, 801, 100, 1, false, 0, 255} /* large both ways */};
    // A timer's tick would stretch every step of every fade; a busy machine (the journeys beside these
    // tests) delays many, but not all of them.
    auto least = std::chrono::steady_clock::duration::max();  // the least a step overshot
    for (const auto& c : cases) {
        const std::wstring path = Png(L"fade.png", c.width, c.height);
        PushRecorder recorder;
        mMain::OpenLogo(path, c.noEffect, false, false, c.noEffect, CenterPos, CenterPos, c.opacity, c.size, false);
        std::vector<int> expected;
        for (int step = 1; step <= c.steps; ++step) expected.push_back(10 * step);
        expected.push_back(c.alpha);
        EXPECT_EQ(recorder.alphas, expected) << c.width << "x" << c.height << " at " << c.opacity;
        const std::pair<int, DWORD> perPixelAlpha{AC_SRC_ALPHA, ULW_ALPHA};
        EXPECT_EQ(recorder.formats, std::vector(expected.size(), perPixelAlpha)) << "every push carries the image's own alpha";
        // Timed as the renderer hands a picture over, a moment before this records it. Beyond its 10 ms (or the
        // push, when a busy machine makes that longer), a step overshoots by the timer's tick: 15.6 ms on Windows
        // unless raised.
        for (std::size_t i = 1; i < recorder.times.size(); ++i) {
            EXPECT_GE(recorder.times[i] - recorder.times[i - 1], std::chrono::microseconds(9900)) << "step " << i;
            least = std::min(least, recorder.times[i] - std::max(recorder.times[i - 1] + std::chrono::milliseconds(10), recorder.ends[i - 1]));
        }
        EXPECT_NE(IsTopMost(FrmLogo::Loaded().back()->hWnd()), c.noEffect) << "top-most unless asked not to be";
        // Between the pushes the thread sleeps: a wait that spins would run about 10 ms a step. (The
        // decoding and the pushes themselves are not counted: a busy machine slows those.)
        EXPECT_LT(recorder.cpuBetween, 2.0 * c.steps + 1) << "the fade keeps a core busy between its steps";
        mMain::UnloadEveryWindow();
    }
    EXPECT_LT(least, std::chrono::milliseconds(4)) << "the least a step overshot: " << least.count() << " ns";
}

TEST_F(LogoTest, WindowClosedDuringItsFadeIsNeverShownAndAboutCanOpenAgain) {
    PushRecorder recorder;
    recorder.afterPush = [](HWND hwnd) { PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); };
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 100, 1, false);
    EXPECT_TRUE(FrmLogo::Loaded().empty() && recorder.window && !IsWindow(recorder.window));
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty() && !mMain::AboutOpen);
    recorder.afterPush = nullptr;
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().size() == 1 && mMain::AboutOpen);
}

}  // namespace velvane::testing
