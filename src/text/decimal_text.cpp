#include "text/decimal_text.h"

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace discstart {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

namespace Portable {

std::optional<std::string> FixedDecimalText(double value, int decimals) {
    // glibc prints the exact expansion at any precision; only the decimal point is the locale's.
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (length <= 0) return std::nullopt;
    std::string printed(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(printed.data(), printed.size(), "%.*f", decimals, value);
    printed.resize(static_cast<size_t>(length));
    size_t point = 0;
    while (point < printed.size() && IsDigit(printed[point])) ++point;
    size_t fraction = point;
    while (fraction < printed.size() && !IsDigit(printed[fraction])) ++fraction;
    if (fraction == point) return printed;
    return printed.substr(0, point) + '.' + printed.substr(fraction);
}

std::optional<double> ParseDecimalText(std::string_view text) {
    std::string local;
    for (const char c : text) {
        if (!IsDigit(c) && c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+') return std::nullopt;
        if (c == '.') {
            local += std::localeconv()->decimal_point;
        } else {
            local += c;
        }
    }
    if (local.empty() || local.front() == '+') return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(local.c_str(), &end);
    if (end != local.c_str() + local.size()) return std::nullopt;
    return value;
}

}  // namespace Portable

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L

std::optional<std::string> FixedDecimalText(double value, int decimals) {
    std::string buffer(static_cast<size_t>(16 + 309 + decimals), '\0');
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return std::nullopt;
    buffer.resize(static_cast<size_t>(result.ptr - buffer.data()));
    return buffer;
}

std::optional<double> ParseDecimalText(std::string_view text) {
    double value = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || rest != text.data() + text.size()) return std::nullopt;
    return value;
}

#else

std::optional<std::string> FixedDecimalText(double value, int decimals) {
    return Portable::FixedDecimalText(value, decimals);
}

std::optional<double> ParseDecimalText(std::string_view text) {
    return Portable::ParseDecimalText(text);
}

#endif

}  // namespace discstart
