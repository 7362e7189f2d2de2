#include "core/NumberReading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace velvane {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// The text without blanks, as ASCII; anything outside ASCII cannot belong to a number.
std::string Compact(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (IsBlank(c)) continue;
        out.push_back(c < 128 ? static_cast<char>(c) : '\x7f');
    }
    return out;
}

double ReadRadixInteger(const std::string& s, std::size_t pos, int base) {
    double value = 0;
    for (; pos < s.size(); ++pos) {
        int d = DigitValue(s[pos], base);
        if (d < 0) break;
        value = value * base + d;
    }
    return value;
}

}  // namespace

namespace {

// The number at the start of s and how many characters of s it took.
struct Reading {
    std::optional<double> value;
    std::size_t length = 0;
};

Reading ReadPrefix(const std::string& s);

}  // namespace

std::optional<double> ReadNumber(std::wstring_view text) { return ReadPrefix(Compact(text)).value; }

std::optional<std::int32_t> LeadingDigits(std::wstring_view text) {
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = value * 10 + (c - L'0');
        if (value > INT32_MAX) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<double> ReadWholeNumber(std::wstring_view text) {
    const std::string s = Compact(text);
    const Reading r = ReadPrefix(s);
    if (r.length == 0 || r.length != s.size()) return std::nullopt;
    return r.value;
}

namespace {

Reading ReadPrefix(const std::string& s) {
    if (s.size() >= 2 && s[0] == '&') {
        const int base = (s[1] == 'h' || s[1] == 'H') ? 16 : (s[1] == 'o' || s[1] == 'O') ? 8 : 0;
        if (base == 0) return {0.0, 0};
        std::size_t end = 2;
        while (end < s.size() && DigitValue(s[end], base) >= 0) ++end;
        return {ReadRadixInteger(s, 2, base), end > 2 ? end : 0};
    }

    // Normalise the longest number prefix into a form that from_chars reads the same
    // way in every locale: [-]digits[.digits][e[-]digits].
    std::string number;
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    std::size_t integerDigits = 0, mantissaDigits = 0;
    bool significantSeen = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        number.push_back(s[i]);
        ++mantissaDigits;
        if (s[i] != '0') significantSeen = true;
        if (significantSeen) ++integerDigits;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back('.');
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            number.push_back(s[i]);
            ++mantissaDigits;
            if (s[i] != '0') significantSeen = true;
        }
    }
    if (mantissaDigits == 0) return {0.0, 0};
    if (number.front() == '.') number.insert(number.begin(), '0');
    if (number.back() == '.') number.push_back('0');
    std::size_t length = i;

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExponent = s[j++] == '-';
        if (j < s.size() && IsDigit(s[j])) {
            std::string digits;
            for (; j < s.size() && IsDigit(s[j]); ++j)
                if ((!digits.empty() || s[j] != '0') && digits.size() < 12) digits.push_back(s[j]);
            exponent = digits.empty() ? 0 : std::stoll(digits) * (negativeExponent ? -1 : 1);
            length = j;
            number += 'e';
            number += std::to_string(exponent);
        }
    }

    if (!significantSeen) return {negative ? -0.0 : 0.0, length};
    double value = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small underflows to zero; too large is an overflow.
        long long magnitude = static_cast<long long>(integerDigits) + exponent;
        if (magnitude > 0) return {std::nullopt, length};
        value = 0;
    } else if (ec != std::errc() || end != number.data() + number.size()) {
        return {0.0, 0};
    }
    return {negative ? -value : value, length};
}

}  // namespace


namespace {

template <class Int>
std::optional<Int> RoundHalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    double floor = std::floor(value);
    double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) floor += 1.0;
    if (floor < static_cast<double>(std::numeric_limits<Int>::min()) ||
        floor > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(floor);
}

}  // namespace

std::optional<std::int32_t> ToInt32(double value) { return RoundHalfEven<std::int32_t>(value); }
std::optional<std::int16_t> ToInt16(double value) { return RoundHalfEven<std::int16_t>(value); }
std::optional<std::uint8_t> ToByte(double value) { return RoundHalfEven<std::uint8_t>(value); }

std::optional<float> ToSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace velvane
