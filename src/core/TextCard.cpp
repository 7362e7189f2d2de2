#include "core/TextCard.h"

#include <algorithm>

namespace velvane {
namespace {

using Measure = std::function<double(std::wstring_view)>;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }
bool IsBlank(wchar_t c) { return IsSpace(c) || c == L'\n' || c == 0xA0 || c == 0x3000; }
bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool StartsWith(std::wstring_view s, std::wstring_view start) { return s.substr(0, start.size()) == start; }

std::wstring_view Trimmed(std::wstring_view line) {
    while (!line.empty() && IsSpace(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsSpace(line.back())) line.remove_suffix(1);
    return line;
}

// One non-blank line, trimmed, of the several that make code.
bool CodeLine(std::wstring_view line) {
    for (std::wstring_view mark : {L"$ ", L"//", L"/*", L"#!", L"#include", L"#define"})
        if (StartsWith(line, mark)) return true;
    for (std::wstring_view word : {L"def", L"fn", L"func", L"function", L"class", L"return", L"import", L"const", L"let", L"var",
                                   L"public", L"private", L"static", L"void", L"if", L"else", L"for", L"while"})
        if (line.size() > word.size() && StartsWith(line, word) && (line[word.size()] == L' ' || line[word.size()] == L'('))
            return true;
    const wchar_t last = line.back();
    return last == L';' || last == L'{' || last == L'}' || last == L')';
}

// An end in p moved back off the middle of a surrogate pair, and the end after the character at.
std::size_t Whole(std::wstring_view p, std::size_t end) { return end > 0 && end < p.size() && IsLow(p[end]) && IsHigh(p[end - 1]) ? end - 1 : end; }
std::size_t After(std::wstring_view p, std::size_t at) { return at + 1 < p.size() && IsHigh(p[at]) && IsLow(p[at + 1]) ? at + 2 : at + 1; }

// The largest end in (good, bad) that fits, given that good fits and bad does not.
template <class Fits>
std::size_t Narrow(std::wstring_view p, std::size_t good, std::size_t bad, const Fits& fits) {
    for (;;) {
        std::size_t mid = Whole(p, good + (bad - good) / 2);
        if (mid <= good) mid = After(p, good);
        if (mid >= bad) return good;
        (fits(mid) ? good : bad) = mid;
    }
}

// The end of the longest piece of p from start that fits, at least one character (even one wider
// than the card). The piece doubles until it does not fit and is then narrowed, so a line costs a
// few measures of pieces at most twice its length, however long the paragraph.
std::size_t FitEnd(std::wstring_view p, std::size_t start, const Measure& measure, double width) {
    const auto fits = [&](std::size_t end) { return measure(p.substr(start, end - start)) <= width; };
    // Characters that take no width (combining or zero-width ones) would make one line of a whole
    // paragraph: a line holds so many at most.
    constexpr std::size_t kMostUnits = 2048;
    const std::size_t limit = std::min(p.size(), start + kMostUnits);
    std::size_t good = After(p, start);
    if (!fits(good)) return good;
    while (good < limit) {
        std::size_t next = Whole(p, std::min(limit, start + 2 * (good - start)));
        if (next <= good) next = After(p, good);
        if (!fits(next)) return Narrow(p, good, next, fits);
        good = next;
    }
    return good;
}

// A paragraph with its tabs turned to spaces up to the next multiple of 4 characters.
std::wstring Expanded(std::wstring_view paragraph) {
    std::wstring out;
    out.reserve(paragraph.size());
    std::size_t column = 0;
    for (const wchar_t c : paragraph) {
        if (c == L'\t') {
            out.append(4 - column % 4, L' ');
            column += 4 - column % 4;
        } else {
            out += c;
            column += !IsLow(c);
        }
    }
    return out;
}

std::wstring WithoutTrailingSpaces(std::wstring_view line) {
    while (!line.empty() && line.back() == L' ') line.remove_suffix(1);
    return std::wstring(line);
}

}  // namespace

std::wstring CardText(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size() && text[i] != L'\0'; ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            out += L'\n';
            i += i + 1 < text.size() && text[i + 1] == L'\n';
        } else if (c == L'\n' || c == L'\t' || !IsControl(c)) {
            out += c;
        }
    }
    while (!out.empty() && IsBlank(out.back())) out.pop_back();
    return out;
}

bool LooksLikeCode(std::wstring_view text) {
    std::size_t lines = 0, indented = 0, code = 0;
    std::wstring_view last;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        const std::wstring_view line = text.substr(start, end - start), trimmed = Trimmed(line);
        start = end + 1;
        if (trimmed.empty()) continue;
        ++lines, indented += IsSpace(line.front()), code += CodeLine(trimmed), last = trimmed;
    }
    if (lines == 0) return false;
    if (indented == lines) return true;
    if (lines > 1) return 2 * code > lines;
    if (StartsWith(last, L"$ ")) return true;
    for (std::wstring_view mark : {L"::", L"->", L"=>", L"();"})
        if (last.find(mark) != last.npos) return true;
    return false;
}

std::vector<std::wstring> WrapCardLines(std::wstring_view text, const Measure& measure, double width, std::size_t maxLines) {
    std::vector<std::wstring> lines;
    if (text.empty() || maxLines == 0) return lines;
    bool more = false;  // text left over once the lines are full
    for (std::size_t from = 0; from <= text.size() && !more;) {
        const std::size_t to = std::min(text.find(L'\n', from), text.size());
        const std::wstring p = Expanded(text.substr(from, to - from));
        from = to + 1;
        if (lines.size() == maxLines) {
            more = true;
        } else if (p.empty()) {
            lines.emplace_back();
        }
        for (std::size_t start = 0; start < p.size() && !more;) {
            if (lines.size() == maxLines) {
                more = true;
                break;
            }
            std::size_t end = FitEnd(p, start, measure, width);
            if (end < p.size()) {
                // Back to the last word's end in the piece; a word alone wider than the card is broken.
                std::size_t wordEnd = end;
                while (wordEnd > start && !(p[wordEnd] == L' ' && p[wordEnd - 1] != L' ')) --wordEnd;
                if (wordEnd > start) end = wordEnd;
            }
            lines.push_back(WithoutTrailingSpaces(std::wstring_view(p).substr(start, end - start)));
            for (start = end; start < p.size() && p[start] == L' ';) ++start;
        }
    }
    if (more) {
        std::wstring& last = lines.back();
        last = WithoutTrailingSpaces(last);
        const auto fits = [&](std::size_t end) { return measure(last.substr(0, end) + L'\u2026') <= width; };
        last.resize(fits(last.size()) ? last.size() : Narrow(last, 0, last.size(), fits));
        last = WithoutTrailingSpaces(last) + L'\u2026';
    }
    return lines;
}

}  // namespace velvane
