#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace discstart {

// Doubles as decimal text in one spelling ("123.45", "1e5"), whatever the C library's locale:
// through <charconv> where the C++ library has it for floating point (GCC 11 and later),
// else through the C library, the locale's decimal point taken out of the way.

// `value` (finite, at least 0) with exactly `decimals` digits after the point, as its binary
// value reads exactly. Nothing when it cannot be written.
std::optional<std::string> FixedDecimalText(double value, int decimals);

// The whole of `text` as a double (digits, one ".", an exponent; from_chars' rules), or nothing.
std::optional<double> ParseDecimalText(std::string_view text);

// The C library's way, which the two above take without floating-point <charconv>; kept
// apart so that every build can hold the two ways to the same results.
namespace Portable {
std::optional<std::string> FixedDecimalText(double value, int decimals);
std::optional<double> ParseDecimalText(std::string_view text);
}  // namespace Portable

}  // namespace discstart
