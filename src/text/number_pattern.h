#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/number_format.h"

namespace discstart {

// The six patterns the panel writes numbers with.
namespace Pattern {
inline constexpr std::string_view Megabytes = "#0.00 MB";
inline constexpr std::string_view Kbits = "# Kbit/s";
inline constexpr std::string_view Minutes = "# min";
inline constexpr std::string_view Seconds = " # sec";
inline constexpr std::string_view Decimal2 = "#0.00";
inline constexpr std::string_view Hertz = "##,## Hz";
}  // namespace Pattern

// "#" an optional digit, "0" a required digit, "." the decimal separator, "," between
// digit positions asks for grouping; anything else is copied. Rounds the exact binary
// value, halves away from zero; no minus sign on a value that rounds to zero.
std::string FormatPattern(double value, std::string_view pattern, const NumberFormat& format);

// Reads a number written in the regional format (grouping allowed). Nothing for a text
// that is not a number.
std::optional<double> ParseRegionalNumber(std::string_view text, const NumberFormat& format);

// Round to the nearest integer, an exact half to the even neighbour.
double RoundHalfEven(double value);

}  // namespace discstart
