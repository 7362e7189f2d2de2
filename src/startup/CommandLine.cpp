#include "startup/CommandLine.h"

#include <exception>

#include "startup/NumberReading.h"

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

void RemoveAll(std::wstring& text, const std::wstring& piece) {
    if (piece.empty()) return;
    std::wstring out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(piece, from)) != std::wstring::npos; from = at + piece.size())
        out.append(text, from, at - from);
    out.append(text, from, std::wstring::npos);
    text = std::move(out);
}

std::vector<std::wstring> SplitAtQuotes(const std::wstring& text) {
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : text) {
        if (c == L'"') pieces.emplace_back();
        else pieces.back().push_back(c);
    }
    return pieces;
}

// "top" also stands inside "dontontop"; a switch is no position, so those occurrences
// are passed over.
std::size_t FindValueKeyword(const std::wstring& text, const std::wstring& keyword) {
    static const std::wstring kDontOnTop = L"dontontop";
    for (std::size_t at = text.find(keyword); at != std::wstring::npos; at = text.find(keyword, at + 1)) {
        if (keyword == L"top" && at >= 6 && text.compare(at - 6, kDontOnTop.size(), kDontOnTop) == 0)
            continue;
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
            for (const std::wstring& piece : SplitAtQuotes(reading.commandText))
                if (fileExists(piece)) reading.imageFiles.push_back(piece);
            for (const std::wstring& path : reading.imageFiles)
                RemoveAll(reading.commandText, L"\"" + path + L"\"");
        }
    } catch (const std::exception&) {
        return reading;
    }

    RemoveAll(reading.commandText, L" ");

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

    if (!readInt16(L"left", values.leftPos) || !readInt16(L"top", values.topPos) ||
        !readInt16(L"opacity", values.opacity))
        return std::nullopt;
    if (values.opacity > 100) values.opacity = 100;

    if (auto number = valueAfter(L"size")) {
        auto converted = *number ? ToSingle(**number) : std::nullopt;
        if (!converted) return std::nullopt;
        values.sizeFactor = *converted > 0 ? *converted : 1.0f;
    }
    return values;
}

}  // namespace velvane
