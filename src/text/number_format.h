#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace discstart {

// The user's regional number settings. Built from QLocale by the app and discinfo,
// directly by tests; the C library's locale is never consulted.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator = ",";

    static NumberFormat English() { return {".", ","}; }
};

// A value rounded to a number of decimals, as plain digits: integerDigits has no leading
// zeros (but is "0" for a value below one), fractionDigits has exactly the decimals asked for.
struct RoundedDecimal {
    bool negative = false;  // false when the value rounds to zero
    std::string integerDigits;
    std::string fractionDigits;

    bool operator==(const RoundedDecimal&) const = default;
};

// The largest number of decimals that can change a double's expansion; more only add zeros.
inline constexpr int MaxDecimals = 1074;

// Rounds the exact binary value of `value`, halves away from zero. `decimals` is clamped to
// 0..MaxDecimals. Nothing for NaN and infinities.
std::optional<RoundedDecimal> RoundDecimal(double value, int decimals);

// `digits` with `separator` between groups of three, counted from the right.
std::string GroupThousands(std::string_view digits, std::string_view separator);

// `value` with exactly `decimals` decimals and thousands grouping, halves away from zero
// on the exact binary value. A value that rounds to zero has no minus sign; NaN and
// infinities give an empty text.
std::string FormatFixed(double value, int decimals, const NumberFormat& format);

}  // namespace discstart
