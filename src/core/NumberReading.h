#pragma once
// Turning text into numbers, the one way the whole program does it: the command line,
// the settings slot, menu captions, the "Custom" size tag and the window list.

#include <cstdint>
#include <optional>
#include <string_view>

namespace velvane {

// The value of the number at the start of the text. Blanks, tabs and line feeds are
// skipped wherever they stand; "." is always the decimal point; "e" or "d" starts an
// exponent; "&h"/"&o" read hexadecimal/octal integers. Text that does not begin with a
// number reads as 0. Empty only when the number is too large for a double.
std::optional<double> ReadNumber(std::wstring_view text);

// The text read strictly: apart from blanks it must be one number and nothing else.
std::optional<double> ReadWholeNumber(std::wstring_view text);

// The value of the decimal digits at the very start of the text (0 when there are
// none); empty beyond 32 bits.
std::optional<std::int32_t> LeadingDigits(std::wstring_view text);

// Round to the nearest integer, ties to the even one. Empty when the result does not
// fit the target type (or the value is not finite).
std::optional<std::int32_t> ToInt32(double value);
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::uint8_t> ToByte(double value);

// Narrowing to a 32-bit float; empty when the value is beyond its range.
std::optional<float> ToSingle(double value);

}  // namespace velvane
