#include "Fixture.h"

namespace velvane::testing {
namespace {

double ThreadCpuMs() {
    FILETIME t[4];
    GetThreadTimes(GetCurrentThread(), &t[0], &t[1], &t[2], &t[3]);
    return ((static_cast<ULONGLONG>(t[2].dwHighDateTime + t[3].dwHighDateTime) << 32) + t[2].dwLowDateTime + t[3].dwLowDateTime) / 1e4;
}

std::vector<int> Steps(int last, int below) {  // 10, 20, ... up to below, then last
    std::vector<int> alphas;
    for (int a = 10; a <= below; a += 10) alphas.push_back(a);
    return alphas.push_back(last), alphas;
}

TEST_F(LogoTest, FadePushesItsAlphaStepsAtLeastTenMillisecondsApartWithoutBusyWaiting) {
    const struct { int width, height; std::int16_t opacity; float size; bool noEffect; std::vector<int> alphas; } cases[] = {
        {412, 163, 100, 1, false, Steps(255, 250)}, {412, 163, 10, 1, false, Steps(25, 20)}, {412, 163, 50, 0.5f, false, Steps(127, 120)},
        {412, 163, 100, 1, true, {255}}, {865, 801, 100, 1, false, {255}} /* large both ways */, {200, 1000, 20, 1, false, Steps(51, 50)}};
    for (const auto& c : cases) {
        const std::wstring path = Png(L"fade.png", c.width, c.height);
        PushRecorder recorder;
        const double cpu = ThreadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        mMain::OpenLogo(path, c.noEffect, false, false, c.noEffect, CenterPos, CenterPos, c.opacity, c.size, false);
        const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(recorder.Alphas(), c.alphas) << c.width << "x" << c.height << " at " << c.opacity;
        for (std::size_t i = 1; i < recorder.pushes.size(); ++i)
            EXPECT_GE(recorder.pushes[i].at - recorder.pushes[i - 1].at, std::chrono::milliseconds(10)) << "step " << i;
        EXPECT_NE(IsTopMost(FrmLogo::Loaded().back()->hWnd()), c.noEffect) << "top-most unless asked not to be";
        EXPECT_TRUE(c.alphas.size() < 20 || ThreadCpuMs() - cpu < wall * 0.6) << "the fade keeps a core busy";
        mMain::UnloadEveryWindow();
    }
}

TEST_F(LogoTest, WindowClosedDuringItsFadeIsNeverShownAndAboutCanOpenAgain) {
    PushRecorder recorder;
    recorder.afterPush = [](HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); };
    mMain::OpenLogo(logo, false, false, false, false, CenterPos, CenterPos, 100, 1, false);
    EXPECT_TRUE(FrmLogo::Loaded().empty() && !IsWindow(recorder.pushes.front().window));
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().empty() && !mMain::AboutOpen);
    recorder.afterPush = nullptr;
    mMain::ShowAbout();
    EXPECT_TRUE(FrmLogo::Loaded().size() == 1 && mMain::AboutOpen);
}

}  // namespace
}  // namespace velvane::testing
