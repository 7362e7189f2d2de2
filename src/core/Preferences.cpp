#include "core/Preferences.h"

#include <cmath>
#include <cwctype>

#include "core/NumberReading.h"

namespace velvane {
namespace {

constexpr const wchar_t* kKeyValues[] = {L"KeyPinFromScreen", L"KeyPinClipboard", L"KeyHideShow", L"KeyNextGroup"};
constexpr const wchar_t* kKeyTitles[] = {L"Pin from Screen", L"Pin Clipboard", L"Hide/Show All", L"Show Next Group"};
constexpr const wchar_t* kDefaultKeys[] = {L"Ctrl+Alt+P", L"Ctrl+Alt+V", L"Ctrl+Alt+H", L"Ctrl+Alt+G"};
constexpr const wchar_t* kEdgeWords[] = {L"none", L"line", L"shadow"};

struct Modifier {
    std::uint8_t bit;
    const wchar_t* name;
};
constexpr Modifier kModifiers[] = {{HotKey::kCtrl, L"Ctrl"}, {HotKey::kAlt, L"Alt"}, {HotKey::kShift, L"Shift"}, {HotKey::kWin, L"Win"}};

struct Named {
    std::uint8_t vk;
    const wchar_t* name;
};
// Virtual-key codes are the same on every layout; these have the same name on every one too.
constexpr Named kNamedKeys[] = {{0x08, L"Backspace"}, {0x09, L"Tab"},      {0x0D, L"Enter"},    {0x13, L"Pause"},     {0x1B, L"Esc"},
                                {0x20, L"Space"},     {0x21, L"Page Up"},  {0x22, L"Page Down"}, {0x23, L"End"},      {0x24, L"Home"},
                                {0x25, L"Left"},      {0x26, L"Up"},       {0x27, L"Right"},    {0x28, L"Down"},      {0x2C, L"Print Screen"},
                                {0x2D, L"Insert"},    {0x2E, L"Delete"},   {0x6A, L"Num *"},    {0x6B, L"Num +"},     {0x6D, L"Num -"},
                                {0x6E, L"Num ."},     {0x6F, L"Num /"}};

int Index(GlobalKey key) { return static_cast<int>(key); }

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

std::wstring KeyPart(std::uint8_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 0x60 && vk <= 0x69) return L"Num " + std::to_wstring(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return L"F" + std::to_wstring(vk - 0x6F);
    for (const Named& named : kNamedKeys)
        if (named.vk == vk) return named.name;
    return L"#" + std::to_wstring(vk);
}

std::optional<std::uint8_t> KeyOfPart(const std::wstring& part) {
    for (int vk = 1; vk < 256; ++vk)
        if (Lower(KeyPart(static_cast<std::uint8_t>(vk))) == part) return static_cast<std::uint8_t>(vk);
    return std::nullopt;
}

// Shift, Ctrl, Alt and the Windows keys (either side) and the mouse buttons are no key of their own.
bool ModifierOrButton(std::uint8_t vk) {
    return vk < 0x08 || (vk >= 0x10 && vk <= 0x12) || vk == 0x14 || vk == 0x5B || vk == 0x5C || (vk >= 0xA0 && vk <= 0xA5);
}

// A key that works alone without taking anything from typing: the function keys, Pause and Print Screen.
bool StandsAlone(std::uint8_t vk) { return (vk >= 0x70 && vk <= 0x87) || vk == 0x13 || vk == 0x2C; }

std::optional<bool> Flag(PreferenceStore& store, const wchar_t* name) {
    const auto text = store.Read(name);
    if (text && *text == L"1") return true;
    if (text && *text == L"0") return false;
    return std::nullopt;
}

std::optional<int> WholeIn(PreferenceStore& store, const wchar_t* name, int low, int high) {
    const auto text = store.Read(name);
    const auto number = text ? ReadNumber(*text) : std::nullopt;
    if (!number || *number != std::floor(*number) || *number < low || *number > high) return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<std::uint32_t> Colour(const std::wstring& text) {
    if (text.size() != 7 || text[0] != L'#') return std::nullopt;
    std::uint32_t colour = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const wchar_t c = static_cast<wchar_t>(std::towlower(text[i]));
        const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        colour = colour << 4 | static_cast<std::uint32_t>(digit);
    }
    return colour;
}

std::wstring ColourText(std::uint32_t colour) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring text = L"#";
    for (int shift = 20; shift >= 0; shift -= 4) text += kHex[(colour >> shift) & 0xF];
    return text;
}

}  // namespace

HotKey DefaultHotKey(GlobalKey key) { return ParseHotKey(kDefaultKeys[Index(key)]).value_or(HotKey{}); }

const wchar_t* GlobalKeyTitle(GlobalKey key) { return kKeyTitles[Index(key)]; }

std::wstring HotKeyName(HotKey key) {
    if (key.None()) return L"None";
    std::wstring name;
    for (const Modifier& m : kModifiers)
        if (key.modifiers & m.bit) name += std::wstring(m.name) + L"+";
    return name + KeyPart(key.vk);
}

std::optional<HotKey> ParseHotKey(std::wstring_view name) {
    const std::wstring lower = Lower(name);
    if (lower == L"none") return HotKey{};
    HotKey key;
    std::size_t start = 0;
    for (;;) {
        // "Num +" ends in the separator itself: a part is never empty.
        std::size_t plus = lower.find(L'+', start + 1);
        if (plus == std::wstring::npos || plus + 1 == lower.size()) plus = lower.size();
        const std::wstring part = lower.substr(start, plus - start);
        if (plus == lower.size()) {
            const auto vk = KeyOfPart(part);
            if (!vk || ModifierOrButton(*vk)) return std::nullopt;
            key.vk = *vk;
            break;
        }
        bool known = false;
        for (const Modifier& m : kModifiers) {
            if (part != Lower(m.name) || (key.modifiers & m.bit)) continue;
            key.modifiers |= m.bit;
            known = true;
        }
        if (!known) return std::nullopt;
        start = plus + 1;
    }
    // Shift alone still types: the key needs Ctrl, Alt or Win unless it types nothing anyway.
    if (!(key.modifiers & (HotKey::kCtrl | HotKey::kAlt | HotKey::kWin)) && !StandsAlone(key.vk)) return std::nullopt;
    return key;
}

std::optional<PinEdge> PinEdge::FromCode(double code) {
    if (!(code >= 0 && code < 3.0 * (1 << 24)) || code != std::floor(code)) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(code);
    return PinEdge{static_cast<EdgeKind>(bits >> 24), bits & 0xFFFFFF};
}

HotKey Preferences::Key(GlobalKey key) const { return chosenKeys[static_cast<std::size_t>(Index(key))].value_or(DefaultHotKey(key)); }

Preferences ReadPreferences(PreferenceStore& store) {
    Preferences read;
    for (GlobalKey key : kGlobalKeys) {
        const auto text = store.Read(kKeyValues[Index(key)]);
        if (text) read.chosenKeys[static_cast<std::size_t>(Index(key))] = ParseHotKey(*text);
    }
    read.topMost = Flag(store, L"NewPinTopMost").value_or(read.topMost);
    const auto opacity = WholeIn(store, L"NewPinOpacity", 10, 100);
    if (opacity && *opacity % 10 == 0) read.opacity = *opacity;
    read.fadeIn = Flag(store, L"NewPinFadeIn").value_or(read.fadeIn);
    if (const auto word = store.Read(L"NewPinEdge"))
        for (int kind = 0; kind < 3; ++kind)
            if (Lower(*word) == kEdgeWords[kind]) read.edge.kind = static_cast<EdgeKind>(kind);
    if (const auto colour = store.Read(L"NewPinEdgeColour")) read.edge.colour = Colour(*colour).value_or(read.edge.colour);
    read.closedKept = WholeIn(store, L"ClosedSetsKept", Preferences::kMinKept, Preferences::kMaxKept).value_or(read.closedKept);
    return read;
}

void WritePreferences(PreferenceStore& store, const Preferences& preferences) {
    for (GlobalKey key : kGlobalKeys) {
        const auto& chosen = preferences.chosenKeys[static_cast<std::size_t>(Index(key))];
        if (chosen) store.Write(kKeyValues[Index(key)], HotKeyName(*chosen));
        else store.Delete(kKeyValues[Index(key)]);
    }
    store.Write(L"NewPinTopMost", preferences.topMost ? L"1" : L"0");
    store.Write(L"NewPinOpacity", std::to_wstring(preferences.opacity));
    store.Write(L"NewPinFadeIn", preferences.fadeIn ? L"1" : L"0");
    store.Write(L"NewPinEdge", kEdgeWords[static_cast<int>(preferences.edge.kind)]);
    store.Write(L"NewPinEdgeColour", ColourText(preferences.edge.colour));
    store.Write(L"ClosedSetsKept", std::to_wstring(preferences.closedKept));
}

}  // namespace velvane
