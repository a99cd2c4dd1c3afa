#pragma once

#include <string>

// The user's regional number settings. Built from QLocale by the app and discinfo,
// directly by tests; the C library's locale is never consulted.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator = ",";

    static NumberFormat English() { return {".", ","}; }
    static NumberFormat German() { return {",", "."}; }
};

// `value` with exactly `decimals` decimals and thousands grouping, halves away from zero
// on the exact binary value. A value that rounds to zero has no minus sign; NaN and
// infinities give an empty text.
std::string FormatFixed(double value, int decimals, const NumberFormat& format);
