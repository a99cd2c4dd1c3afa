#include "text/number_pattern.h"

#include <cmath>
#include <cstddef>

#include "text/decimal_text.h"

namespace discstart {

namespace {

bool IsDigitPosition(char c) {
    return c == '#' || c == '0';
}

// A pattern is literal text around one number section of digit positions, an optional
// decimal point and grouping commas.
struct PatternParts {
    std::string_view prefix;
    std::string_view suffix;
    int requiredIntegerDigits = 0;
    bool grouping = false;
    bool hasPoint = false;
    int decimals = 0;
    int requiredDecimals = 0;
};

std::optional<PatternParts> SplitPattern(std::string_view pattern) {
    std::size_t start = 0;
    while (start < pattern.size()) {
        const char c = pattern[start];
        if (IsDigitPosition(c)) break;
        if (c == '.' && start + 1 < pattern.size() && IsDigitPosition(pattern[start + 1])) break;
        ++start;
    }
    if (start == pattern.size()) return std::nullopt;

    std::size_t end = start;
    bool seenPoint = false;
    while (end < pattern.size()) {
        const char c = pattern[end];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (!IsDigitPosition(c) && c != ',') {
            break;
        }
        ++end;
    }
    // A comma that no digit position follows is ordinary text.
    while (pattern[end - 1] == ',') --end;

    PatternParts parts;
    parts.prefix = pattern.substr(0, start);
    parts.suffix = pattern.substr(end);
    bool inFraction = false;
    for (std::size_t i = start; i < end; ++i) {
        const char c = pattern[i];
        if (c == '.') {
            inFraction = parts.hasPoint = true;
        } else if (c == ',') {
            if (!inFraction && i + 1 < end && IsDigitPosition(pattern[i + 1])) parts.grouping = true;
        } else if (inFraction) {
            ++parts.decimals;
            if (c == '0') parts.requiredDecimals = parts.decimals;
        } else if (c == '0') {
            ++parts.requiredIntegerDigits;
        }
    }
    return parts;
}

}  // namespace

std::string FormatPattern(double value, std::string_view pattern, const NumberFormat& format) {
    const auto parts = SplitPattern(pattern);
    if (!parts) return std::isfinite(value) ? std::string(pattern) : std::string();
    auto rounded = RoundDecimal(value, parts->decimals);
    if (!rounded) return {};

    // "#" positions show nothing for a zero integer part; "0" positions always show a digit.
    std::string& integer = rounded->integerDigits;
    if (integer == "0" && parts->requiredIntegerDigits == 0) integer.clear();
    if (static_cast<int>(integer.size()) < parts->requiredIntegerDigits) {
        integer.insert(0, static_cast<std::size_t>(parts->requiredIntegerDigits) - integer.size(), '0');
    }
    std::string& fraction = rounded->fractionDigits;
    while (static_cast<int>(fraction.size()) > parts->requiredDecimals && fraction.back() == '0') {
        fraction.pop_back();
    }

    std::string text(parts->prefix);
    if (rounded->negative) text += '-';
    text += parts->grouping ? GroupThousands(integer, format.groupSeparator) : integer;
    if (parts->hasPoint) text += format.decimalSeparator + fraction;
    text += parts->suffix;
    return text;
}

std::optional<double> ParseRegionalNumber(std::string_view text, const NumberFormat& format) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

    // Rebuild the number in the one spelling ParseDecimalText reads, whatever the region.
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    const auto startsWith = [&](const std::string& part) {
        return !part.empty() && text.substr(i).starts_with(part);
    };
    const auto isDigit = [&] { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };

    bool anyDigit = false;
    bool inFraction = false;
    while (i < text.size()) {
        if (isDigit()) {
            plain += text[i++];
            anyDigit = true;
        } else if (!inFraction && startsWith(format.decimalSeparator)) {
            plain += '.';
            inFraction = true;
            i += format.decimalSeparator.size();
        } else if (!inFraction && anyDigit && startsWith(format.groupSeparator)) {
            i += format.groupSeparator.size();
            if (!isDigit()) return std::nullopt;
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) plain += text[i++];
        if (!isDigit()) return std::nullopt;
        while (isDigit()) plain += text[i++];
    }
    if (i != text.size()) return std::nullopt;

    return ParseDecimalText(plain);
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double below = std::floor(value);
    const double diff = value - below;
    if (diff < 0.5) return below;
    if (diff > 0.5) return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace discstart
