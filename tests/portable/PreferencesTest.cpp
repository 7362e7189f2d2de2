#include <gtest/gtest.h>

#include <cwctype>

#include "MapStore.h"
#include "Rows.h"
#include "core/Preferences.h"

namespace velvane {

static std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST(Preferences, KeyNamesAreTheirStoredFormAndRefuseKeysThatWouldStopTyping) {
    using H = HotKey;
    const struct { const wchar_t* name; std::optional<HotKey> key; const wchar_t* written; } rows[] = {
        {L"Ctrl+Alt+P", H{H::kCtrl | H::kAlt, 'P'}, nullptr},
        {L"ctrl+shift+f9", H{H::kCtrl | H::kShift, 0x78}, L"Ctrl+Shift+F9"},
        {L"Alt+Ctrl+S", H{H::kCtrl | H::kAlt, 'S'}, L"Ctrl+Alt+S"},  // any order reads, one is written
        {L"Win+Num +", H{H::kWin, 0x6B}, nullptr},
        {L"Ctrl+Alt+#186", H{H::kCtrl | H::kAlt, 186}, nullptr},  // punctuation, the same on every layout
        {L"Print Screen", H{0, 0x2C}, nullptr},                  // types nothing: alone is fine
        {L"None", H{}, nullptr},
        {L"Shift+A", {}, nullptr},  // still types
        {L"P", {}, nullptr},
        {L"Ctrl+Alt", {}, nullptr},
        {L"Ctrl+Ctrl+P", {}, nullptr},
        {L"Ctrl+Alt+Shift", {}, nullptr},  // a modifier is no key
        {L"Ctrl+Alt+Q+", {}, nullptr},
        {L"", {}, nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Row(r.name));
        const auto key = ParseHotKey(r.name);
        ASSERT_EQ(key.has_value(), r.key.has_value());
        if (!key) continue;
        EXPECT_TRUE(*key == *r.key);
        EXPECT_EQ(HotKeyName(*key), r.written ? r.written : r.name);
        EXPECT_TRUE(ParseHotKey(HotKeyName(*key)) == *key);
    }
    for (int vk = 1; vk < 256; ++vk) {  // every name written reads back as its key
        const HotKey key{HotKey::kCtrl | HotKey::kAlt, static_cast<std::uint8_t>(vk)};
        if (const auto back = ParseHotKey(HotKeyName(key))) {
            EXPECT_TRUE(*back == key) << vk;
        }
    }
}

TEST(Preferences, ValuesOutOfRangeOrUnreadableAreTheirDefaults) {
    const Preferences defaults;
    const struct { const wchar_t* name; const wchar_t* value; bool taken; } rows[] = {
        {L"ClosedSetsKept", L"1", true},   {L"ClosedSetsKept", L"100", true}, {L"ClosedSetsKept", L"0", false},
        {L"ClosedSetsKept", L"101", false}, {L"ClosedSetsKept", L"2.5", false}, {L"ClosedSetsKept", L"?", false},
        {L"NewPinOpacity", L"30", true},   {L"NewPinOpacity", L"35", false},  {L"NewPinOpacity", L"0", false},
        {L"NewPinTopMost", L"0", true},    {L"NewPinTopMost", L"yes", false}, {L"NewPinEdge", L"Shadow", true},
        {L"NewPinEdge", L"glow", false},   {L"NewPinEdgeColour", L"#ff0000", true}, {L"NewPinEdgeColour", L"red", false},
        {L"KeyPinFromScreen", L"Ctrl+Alt+S", true}, {L"KeyPinFromScreen", L"S", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Row(std::wstring(r.name) + L"=" + r.value));
        MapStore store;
        store.values[r.name] = r.value;
        const Preferences read = ReadPreferences(store);
        MapStore written, writtenDefaults;
        WritePreferences(written, read);
        WritePreferences(writtenDefaults, defaults);
        EXPECT_EQ(written.values != writtenDefaults.values, r.taken);
        if (r.taken) {
            EXPECT_EQ(Lower(written.values[r.name]), Lower(r.value));
        }
    }
}

TEST(Preferences, ADefaultKeyStaysUnchosenAndEdgesKeepTheirCode) {
    MapStore store;
    Preferences chosen;
    chosen.chosenKeys[static_cast<std::size_t>(GlobalKey::PinClipboard)] = HotKey{};
    chosen.edge = {EdgeKind::Line, 0x123456};
    WritePreferences(store, chosen);
    const Preferences read = ReadPreferences(store);
    EXPECT_FALSE(read.chosenKeys[static_cast<std::size_t>(GlobalKey::PinFromScreen)]) << "a default is not a choice";
    EXPECT_EQ(HotKeyName(read.Key(GlobalKey::PinFromScreen)), L"Ctrl+Alt+P");
    EXPECT_TRUE(read.Key(GlobalKey::PinClipboard).None());
    EXPECT_EQ(read.edge, chosen.edge);
    for (const PinEdge& edge : {PinEdge{}, PinEdge{EdgeKind::Line, 0xFF0000}, PinEdge{EdgeKind::Shadow, 0}})
        EXPECT_EQ(PinEdge::FromCode(edge.Code()), edge);
    for (double code : {-1.0, 3.0 * (1 << 24), 0.5, 1e300}) EXPECT_FALSE(PinEdge::FromCode(code)) << code;
}

}  // namespace velvane
