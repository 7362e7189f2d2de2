#include "Fixture.h"

#include "app/GlobalKeys.h"
#include "system/HiddenWindow.h"
#include "system/StoredPreferences.h"

namespace velvane::testing {

static std::vector<HWND> ShownWindowsOfClass(const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;)
        if (IsWindowVisible(w)) found.push_back(w);
    return found;
}

// A key stored is the key registered; one another program holds, or none, is said as such.
TEST_F(LogoTest, StoredKeysAreReadBackAndRegisteredAgainAtOnce) {
    const ScopedWindow owner(MakeHiddenWindow(L"Velvane.test.KeyOwner", DefWindowProcW));
    const ScopedWindow other(MakeHiddenWindow(L"Velvane.test.OtherProgram", DefWindowProcW));
    ASSERT_TRUE(RegisterHotKey(other.get(), 1, MOD_CONTROL | MOD_ALT, VK_F11)) << "another program's key";
    const auto slot = [](GlobalKey key) { return static_cast<std::size_t>(key); };
    Preferences preferences;
    preferences.chosenKeys[slot(GlobalKey::PinFromScreen)] = ParseHotKey(L"Ctrl+Alt+F9");
    preferences.chosenKeys[slot(GlobalKey::PinClipboard)] = HotKey{};
    preferences.chosenKeys[slot(GlobalKey::HideShow)] = ParseHotKey(L"Ctrl+Alt+F11");
    ASSERT_TRUE(mMain::SavePreferences(preferences));
    GlobalKeys::Take(owner.get(), false);
    using S = GlobalKeys::State;
    const auto states = GlobalKeys::PublishedStates(L"Velvane.test.KeyOwner");
    EXPECT_EQ(states[slot(GlobalKey::PinFromScreen)], S::Held);
    EXPECT_EQ(GlobalKeys::KeyText(GlobalKeys::PinFromScreen), L"Ctrl+Alt+F9");
    EXPECT_FALSE(RegisterHotKey(other.get(), 2, MOD_CONTROL | MOD_ALT, VK_F9)) << "the key is really held";
    EXPECT_EQ(states[slot(GlobalKey::PinClipboard)], S::Off);
    EXPECT_EQ(states[slot(GlobalKey::HideShow)], S::Taken);
    EXPECT_FALSE(GlobalKeys::Holds(GlobalKeys::HideShow));

    preferences.chosenKeys[slot(GlobalKey::PinFromScreen)] = ParseHotKey(L"Ctrl+Alt+F8");
    ASSERT_TRUE(mMain::SavePreferences(preferences));
    GlobalKeys::Take(owner.get(), false);
    EXPECT_EQ(GlobalKeys::KeyText(GlobalKeys::PinFromScreen), L"Ctrl+Alt+F8");
    EXPECT_TRUE(RegisterHotKey(other.get(), 2, MOD_CONTROL | MOD_ALT, VK_F9)) << "the old key was let go";
    GlobalKeys::LetGo(owner.get());
    EXPECT_EQ(GlobalKeys::PublishedStates(L"Velvane.test.KeyOwner")[0], S::Unknown);
    UnregisterHotKey(other.get(), 1), UnregisterHotKey(other.get(), 2);
}

// The edge is the window's: the picture keeps its size at every size factor, and a shadow lets clicks through.
TEST_F(LogoTest, EdgesRingThePinAtEverySizeAndAShadowLetsClicksThrough) {
    FrmLogo* window = Open(logo);
    ASSERT_NE(window, nullptr);
    const struct { PinEdge edge; int width; } edges[] = {{{EdgeKind::Line, 0xFF0000}, 1}, {{EdgeKind::Shadow, 0}, 8}};
    for (const auto& e : edges) {
        SCOPED_TRACE(e.width);
        window->Edge(e.edge);
        for (int sizeIndex : {static_cast<int>(SizeOneIndex), SizeOneIndex + 1}) {
            window->OnSizeItem(sizeIndex);
            const RECT pin = Rect(window);
            EXPECT_EQ(pin.right - pin.left, 412 * (sizeIndex - SizeOneIndex + 1)) << "the picture's size, not the edge's";
            const std::vector<HWND> sides = ShownWindowsOfClass(L"Velvane.PinEdge");
            ASSERT_EQ(sides.size(), 4u);
            RECT ring = pin;
            for (HWND side : sides) {
                RECT r{};
                GetWindowRect(side, &r);
                UnionRect(&ring, &ring, &r);
            }
            EXPECT_TRUE(EqualRect(&ring, std::array<RECT, 1>{{{pin.left - e.width, pin.top - e.width, pin.right + e.width, pin.bottom + e.width}}}.data()));
            if (e.edge.kind != EdgeKind::Shadow) continue;
            wchar_t name[64] = L"";
            GetClassNameW(WindowFromPoint({pin.left - 4, pin.top + 20}), name, 64);
            EXPECT_STRNE(name, L"Velvane.PinEdge") << "a click on the shadow reaches what is beneath";
        }
    }
    window->Hide(true);
    EXPECT_TRUE(ShownWindowsOfClass(L"Velvane.PinEdge").empty()) << "hidden with the pin";
    window->Hide(false);
    window->Edge({});
    EXPECT_TRUE(ShownWindowsOfClass(L"Velvane.PinEdge").empty());
}

}  // namespace velvane::testing
