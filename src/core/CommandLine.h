#pragma once
// Reading the start-up command line: quoted image paths, switches and values.
// Portable: the caller lower-cases the text and says which files exist.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velvane {

constexpr std::int16_t CenterPos = -32767;

enum StartupFlag : std::int32_t {
    CloseAllFlag = 1,
    DontOnTopFlag = 2,
    DontMoveableFlag = 4,
    DontDragActiveFlag = 8,
    DontLoadEffectFlag = 16,
};

// The words start-up acts on, outside quotes, beside the switches and values; Main says what
// each does.
enum class Word : int { About, Clickable, Hide, Show, Restore, SignIn, Tray, Capture, PinClipboard };
constexpr const wchar_t* WordTexts[] = {L"about", L"clickable", L"hide", L"show", L"restore", L"signin", L"tray", L"capture", L"pinclipboard"};
constexpr const wchar_t* WordText(Word word) { return WordTexts[static_cast<int>(word)]; }

// Image paths and switches. When a failure (a switch number out of range, a file test
// that threw) stops the reading, complete is false and the rest is as far as it got.
struct SwitchReading {
    std::wstring commandText;
    std::vector<std::wstring> imageFiles;
    std::int32_t startupFlags = 0;
    bool complete = false;
    // The blank-separated words left outside quotes once the images are taken: the words
    // for every running copy count only as these, never inside a path.
    std::vector<std::wstring> words;
    bool HasWord(const wchar_t* word) const;
    bool HasWord(Word word) const { return HasWord(WordText(word)); }
};

SwitchReading ReadSwitches(std::wstring_view lowerCaseArguments,
                           const std::function<bool(const std::wstring&)>& fileExists);

struct StartupValues {
    std::int16_t leftPos = CenterPos;
    std::int16_t topPos = CenterPos;
    std::int16_t opacity = 100;
    float sizeFactor = 1.0f;
};

// The "left", "top", "opacity" and "size" values of a cleaned command text; empty when
// one of them does not fit its type.
std::optional<StartupValues> ReadValues(const std::wstring& commandText);

}  // namespace velvane
