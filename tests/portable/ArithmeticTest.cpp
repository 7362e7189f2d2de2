#include "Rows.h"
#include "core/ScaleArithmetic.h"
#include "core/LogoMenu.h"
#include "core/Placement.h"

namespace velvane {

using Whole = std::optional<std::int32_t>;

TEST(Arithmetic, SidesAlphaFadeAndPlacement) {
    const struct { float factor; std::int32_t pixels; Whole side; } sides[] = {  // half to even, from the float
        {0.5f, 163, 82}, {0.5f, 165, 82}, {0.333f, 412, 137}, {0.001f, 163, 0}, {1.5f, 5, 8}, {0.1f, 5, 1}, {3e38f, 4000, std::nullopt}};
    for (const auto& s : sides) EXPECT_EQ(ScaledSide(s.factor, s.pixels), s.side) << s.factor << " x " << s.pixels;
    // Fade steps and sizes: the fade's own in-process test.
    // 101 to 128 (from a package; the command line caps at 100) would pass a byte: no alpha, no window.
    const struct { std::int16_t opacity; std::optional<int> alpha; } alphas[] = {
        {0, 0}, {50, 127}, {99, 252}, {100, 255}, {-1, std::nullopt}, {101, std::nullopt}, {105, std::nullopt}, {128, std::nullopt}, {129, std::nullopt}};
    for (const auto& a : alphas) EXPECT_EQ(AlphaFromOpacity(a.opacity), a.alpha) << a.opacity;
    const struct { std::int32_t width, height; bool fades; } fades[] = {{864, 5000, true}, {865, 801, false}, {5000, 800, true}, {865, 800, true}};
    for (const auto& f : fades) EXPECT_EQ(FadeAllowed(f.width, f.height), f.fades) << f.width << " x " << f.height;
    // Twips to pixels round half to even (22.5 pixels is 22, 23.5 is 24), at 15 and at 9.6 twips a pixel (150 %).
    const struct { double twips, perPixel; Whole pixels; } twips[] = {{337.5, 15, 22}, {352.5, 15, 24}, {-337.5, 15, -22}, {96, 9.6, 10}, {1e12, 15, std::nullopt}};
    for (const auto& t : twips) EXPECT_EQ(TwipsToPixels(t.twips, t.perPixel), t.pixels) << t.twips << " / " << t.perPixel;
    // Centring and twips: every journey's windows open where these place them.
}

TEST(Arithmetic, WheelStepsThroughThePresetsAboutThePointer) {
    const struct { float factor; int direction; std::optional<int> preset; } steps[] = {
        {1, 1, 4}, {1, -1, 2}, {0.25f, -1, std::nullopt}, {4, 1, std::nullopt}, {0.333f, 1, 2}, {0.333f, -1, 0},
        {0.3f, 1, 1}, {1.5f, 1, 4}, {1.5f, -1, 3}, {0.1f, 1, 0}, {10, -1, 6}};  // from a custom factor: the next preset that way
    for (const auto& s : steps) EXPECT_EQ(NextSizePreset(s.factor, s.direction), s.preset) << s.factor << " " << s.direction;
    const struct { std::int32_t pointer, edge, oldSide, newSide, moved; } zooms[] = {
        {452, 412, 200, 400, 372}, {452, 372, 400, 100, 432}, {412, 412, 200, 400, 412}, {612, 412, 200, 100, 512}, {5, 7, 0, 10, 7}};
    for (const auto& z : zooms) EXPECT_EQ(ZoomedEdge(z.pointer, z.edge, z.oldSide, z.newSide), z.moved) << z.pointer << " " << z.edge;
}

TEST(LogoMenu, OpeningMarks) {
    const struct { std::int16_t opacity; int item; } opacities[] = {  // the nearest item; none: the window is refused
        {100, 9}, {50, 4}, {10, 0}, {15, 1}, {25, 1}, {35, 3}, {95, 9}, {6, 0}, {44, 3}, {45, 3}, {55, 5}, {5, -1}, {-10, -1}, {106, -1}};
    for (const auto& o : opacities) {
        LogoMenu menu;
        EXPECT_EQ(menu.CheckOpeningOpacity(o.opacity), o.item >= 0) << o.opacity;
        EXPECT_EQ(Checked(menu.InmnuOpacity), o.item) << o.opacity;
    }
    const struct { float factor; const wchar_t* tag; } sizes[] = {  // all but 1 are "Custom", tagged with the float's shortest exact text
        {1.0f, L""}, {2.0f, L"2"}, {0.333f, L"0.333"}, {1.5f, L"1.5"}, {0.0001f, L"1e-04"}, {1.0000001f, L"1.0000001"}};
    for (const auto& s : sizes) {
        LogoMenu menu;
        menu.MarkOpeningSize(s.factor);
        const MenuItem& custom = menu.InmnuSize[CustomSizeIndex];
        EXPECT_EQ(std::make_tuple(Checked(menu.InmnuSize), custom.visible, custom.tag),
                  std::make_tuple(s.factor == 1 ? int{SizeOneIndex} : int{CustomSizeIndex}, s.factor != 1, std::wstring(s.tag))) << s.factor;
    }
}

}  // namespace velvane
