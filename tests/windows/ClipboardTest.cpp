#include <cstring>

#include "Fixture.h"
#include "windows/Clipboard.h"

namespace velvane::testing {

// Bitmaps any program may put on the clipboard: the reader pastes a sound one and refuses the rest without a crash.
TEST_F(LogoTest, MalformedClipboardBitmapsPasteNothing) {
    const struct { const char* what; LONG width, height; WORD bits; DWORD colours; std::size_t bytes; bool pastes; } cases[] = {
        {"sound 32-bit, top-down", 2, -2, 32, 0, 16, true}, {"sound 24-bit", 3, 2, 24, 0, 24, true},
        {"65535 x 16385: its rows' size wraps to 196,604 in 32 bits", 65535, 16385, 32, 0, 196604, false},
        {"2^30 colours", 1, 1, 8, 0x40000000, 1024, false}, {"rows cut short", 3, 2, 24, 0, 23, false},
    };
    for (const auto& c : cases) {
        ScopedGlobal data(GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + c.bytes));
        auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(data.get()));
        *header = {sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bits, BI_RGB, 0, 0, 0, c.colours, 0};
        std::memset(header + 1, 0x80, c.bytes);
        GlobalUnlock(data.get());
        ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_DIB, data.get())) << c.what;
        data.release();
        CloseClipboard();
        const Clipboard::Pasted pasted = Clipboard::TakeImage(nullptr);
        EXPECT_EQ(!pasted.ownFile.empty(), c.pastes) << c.what;
        if (!pasted.ownFile.empty()) DeleteFileW(pasted.ownFile.c_str());
    }
}

}  // namespace velvane::testing
