#include "core/CommandLine.h"

#include <algorithm>
#include <cwchar>
#include <exception>
#include <set>

#include "core/NumberReading.h"

namespace velvane {
namespace {

struct SwitchKeyword {
    const wchar_t* keyword;
    std::int32_t bit;
};

constexpr SwitchKeyword kSwitchKeywords[] = {
    {L"closeall", CloseAllFlag},         {L"dontontop", DontOnTopFlag},
    {L"dontmoveable", DontMoveableFlag}, {L"dontdragactive", DontDragActiveFlag},
    {L"dontloadeffect", DontLoadEffectFlag},
};

// The values, each followed by its number.
enum ValueKeyword { kLeft, kTop, kOpacity, kSize };
constexpr const wchar_t* kValueKeywords[] = {L"left", L"top", L"opacity", L"size"};

std::vector<std::wstring> SplitAt(const std::wstring& text, const wchar_t* separators) {
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : text) {
        if (std::wcschr(separators, c)) pieces.emplace_back();
        else pieces.back().push_back(c);
    }
    return pieces;
}

// The text without every quoted piece that is one of the paths, in one pass, so that
// the longest command line costs no more than a glance.
std::wstring WithoutQuoted(const std::wstring& text, const std::set<std::wstring>& paths) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t close = text[at] == L'"' ? text.find(L'"', at + 1) : std::wstring::npos;
        if (close != std::wstring::npos && paths.count(text.substr(at + 1, close - at - 1))) {
            at = close + 1;
            continue;
        }
        out.push_back(text[at++]);
    }
    return out;
}

// "top" also stands inside "dontontop", and, once the blanks are gone, across
// "dontloadeffect opacity50" ("effecTOPacity"); neither is a position, so those
// occurrences are passed over.
std::size_t FindValueKeyword(const std::wstring& text, const std::wstring& keyword) {
    static const std::wstring kDontOnTop = L"dontontop", kOpacityText = kValueKeywords[kOpacity];
    const bool top = keyword == kValueKeywords[kTop];
    for (std::size_t at = text.find(keyword); at != std::wstring::npos; at = text.find(keyword, at + 1)) {
        if (top && at >= 6 && text.compare(at - 6, kDontOnTop.size(), kDontOnTop) == 0)
            continue;
        if (top && text.compare(at + 1, kOpacityText.size(), kOpacityText) == 0) continue;
        return at;
    }
    return std::wstring::npos;
}

}  // namespace

SwitchReading ReadSwitches(std::wstring_view lowerCaseArguments,
                           const std::function<bool(const std::wstring&)>& fileExists) {
    SwitchReading reading;
    reading.commandText.assign(lowerCaseArguments);
    try {
        if (reading.commandText.find(L'"') != std::wstring::npos) {
            for (const std::wstring& piece : SplitAt(reading.commandText, L"\""))
                if (fileExists(piece)) reading.imageFiles.push_back(piece);
            reading.commandText = WithoutQuoted(reading.commandText, {reading.imageFiles.begin(), reading.imageFiles.end()});
        } else {
            // Explorer quotes a dropped file's path only when it holds a blank: with no quote
            // at all, every blank-separated piece that names a file is an image.
            std::wstring rest;
            for (const std::wstring& piece : SplitAt(reading.commandText, L" \t")) {
                if (!piece.empty() && fileExists(piece)) reading.imageFiles.push_back(piece);
                else rest += piece + L" ";
            }
            reading.commandText = rest;
        }
    } catch (const std::exception&) {
        return reading;
    }
    const std::vector<std::wstring> quoting = SplitAt(reading.commandText, L"\"");  // outside, inside, outside...
    for (std::size_t i = 0; i < quoting.size(); i += 2)
        for (std::wstring& word : SplitAt(quoting[i], L" \t"))
            if (!word.empty()) reading.words.push_back(std::move(word));

    reading.commandText.erase(std::remove(reading.commandText.begin(), reading.commandText.end(), L' '), reading.commandText.end());

    std::optional<double> leading = ReadNumber(reading.commandText);
    std::optional<std::int32_t> flags = leading ? ToInt32(*leading) : std::nullopt;
    if (!flags) return reading;
    reading.startupFlags = *flags;
    if (reading.startupFlags == 0)
        for (const SwitchKeyword& s : kSwitchKeywords)
            if (reading.commandText.find(s.keyword) != std::wstring::npos) reading.startupFlags += s.bit;
    reading.complete = true;
    return reading;
}

bool SwitchReading::HasWord(const wchar_t* word) const { return std::find(words.begin(), words.end(), word) != words.end(); }

std::optional<StartupValues> ReadValues(const std::wstring& commandText) {
    StartupValues values;
    auto valueAfter = [&](const std::wstring& keyword) -> std::optional<std::optional<double>> {
        std::size_t at = FindValueKeyword(commandText, keyword);
        if (at == std::wstring::npos) return std::nullopt;  // keyword absent: keep the default
        return ReadNumber(std::wstring_view(commandText).substr(at + keyword.size()));
    };
    auto readInt16 = [&](const wchar_t* keyword, std::int16_t& into) {
        auto number = valueAfter(keyword);
        if (!number) return true;
        auto converted = *number ? ToInt16(**number) : std::nullopt;
        if (converted) into = *converted;
        return converted.has_value();
    };

    if (!readInt16(kValueKeywords[kLeft], values.leftPos) || !readInt16(kValueKeywords[kTop], values.topPos) ||
        !readInt16(kValueKeywords[kOpacity], values.opacity))
        return std::nullopt;
    if (values.opacity > 100) values.opacity = 100;

    if (auto number = valueAfter(kValueKeywords[kSize])) {
        auto converted = *number ? ToSingle(**number) : std::nullopt;
        if (!converted) return std::nullopt;
        values.sizeFactor = *converted > 0 ? *converted : 1.0f;
    }
    return values;
}

}  // namespace velvane
