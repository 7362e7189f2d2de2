#pragma once
// What the user sets in the Settings window: the global keys, how new pins look, and how many
// closed pin sets are kept. Kept as text values in a store (the registry in the program, a map
// in tests); a value that cannot be read or is out of range is its default, never a failure.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/WindowList.h"

namespace velvane {

// The keys that work wherever the keyboard is, in the Settings window's order.
enum class GlobalKey : int { PinFromScreen, PinClipboard, HideShow, NextGroup };
constexpr GlobalKey kGlobalKeys[] = {GlobalKey::PinFromScreen, GlobalKey::PinClipboard, GlobalKey::HideShow, GlobalKey::NextGroup};
constexpr std::size_t kGlobalKeyCount = 4;

// A key with its modifiers; vk 0 is "None". Modifier bits are the system's hot-key ones.
struct HotKey {
    static constexpr std::uint8_t kAlt = 1, kCtrl = 2, kShift = 4, kWin = 8;
    std::uint8_t modifiers = 0;
    std::uint8_t vk = 0;
    bool None() const { return vk == 0; }
    friend bool operator==(HotKey a, HotKey b) { return a.modifiers == b.modifiers && a.vk == b.vk; }
    friend bool operator!=(HotKey a, HotKey b) { return !(a == b); }
};

HotKey DefaultHotKey(GlobalKey key);
// "Pin from Screen", ...: what the Settings window calls the key.
const wchar_t* GlobalKeyTitle(GlobalKey key);

// "Ctrl+Alt+P", "Ctrl+Shift+F9", "Alt+Num 5", "None": also the stored form. Keys without a name
// of their own on every layout (punctuation) are "#186" and the like, the same on every layout.
std::wstring HotKeyName(HotKey key);
// The key a name stands for (any letter case); empty when the name is none of HotKeyName's or
// the key could not serve as a global key (a modifier alone, a plain letter that would stop typing).
std::optional<HotKey> ParseHotKey(std::wstring_view name);

// A pin's edge: part of its window, never of its picture.
enum class EdgeKind : std::uint8_t { None, Line, Shadow };
struct PinEdge {
    static constexpr int kShadowWidth = 8;
    static constexpr std::uint32_t kDefaultColour = 0x808080;
    EdgeKind kind = EdgeKind::None;
    std::uint32_t colour = kDefaultColour;  // 0xRRGGBB, a line's

    int Width() const { return kind == EdgeKind::Line ? 1 : kind == EdgeKind::Shadow ? kShadowWidth : 0; }
    // As pin sets keep it: the kind above the colour; FromCode refuses any other number.
    std::int32_t Code() const { return static_cast<std::int32_t>(static_cast<std::uint32_t>(kind) << 24 | (colour & 0xFFFFFF)); }
    static std::optional<PinEdge> FromCode(double code);
    friend bool operator==(const PinEdge& a, const PinEdge& b) { return a.kind == b.kind && (a.kind != EdgeKind::Line || a.colour == b.colour); }
    friend bool operator!=(const PinEdge& a, const PinEdge& b) { return !(a == b); }
};

struct Preferences {
    static constexpr int kMinKept = 1, kMaxKept = 100, kDefaultKept = 10;
    // Keys the user chose; empty for a key left at its default, which is not taken from a
    // layout where it types a character.
    std::array<std::optional<HotKey>, kGlobalKeyCount> chosenKeys;
    bool topMost = true;
    int opacity = 100;  // 10 to 100, in tens
    bool fadeIn = true;
    PinEdge edge;
    int closedKept = kDefaultKept;

    HotKey Key(GlobalKey key) const;
};

using PreferenceStore = WindowListStore;  // the same text store the window list is kept in

Preferences ReadPreferences(PreferenceStore& store);
void WritePreferences(PreferenceStore& store, const Preferences& preferences);

}  // namespace velvane
