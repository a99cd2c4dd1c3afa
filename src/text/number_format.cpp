#include "text/number_format.h"

#include <algorithm>
#include <cmath>

#include "text/decimal_text.h"

namespace discstart {

namespace {

// Adds one unit in the last place of a digit string; returns false when it carried out of
// the first digit.
bool IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return true;
        }
        *it = '0';
    }
    return false;
}

}  // namespace

std::optional<RoundedDecimal> RoundDecimal(double value, int decimals) {
    if (!std::isfinite(value)) return std::nullopt;
    decimals = std::clamp(decimals, 0, MaxDecimals);

    // With MaxDecimals digits the fixed expansion of a double is exact, so the rounding
    // below sees the true binary value and never a value already rounded once.
    const std::optional<std::string> written = FixedDecimalText(std::fabs(value), MaxDecimals);
    if (!written) return std::nullopt;
    const std::string_view exact = *written;
    const auto point = exact.find('.');
    const std::string_view integerPart = exact.substr(0, point);
    const std::string_view fractionPart = point == std::string_view::npos ? "" : exact.substr(point + 1);

    const auto kept = static_cast<std::size_t>(decimals);
    std::string digits(integerPart);
    digits += fractionPart.substr(0, kept);
    digits.resize(integerPart.size() + kept, '0');
    std::size_t integerLength = integerPart.size();
    if (kept < fractionPart.size() && fractionPart[kept] >= '5' && !IncrementDigits(digits)) {
        digits.insert(digits.begin(), '1');
        ++integerLength;
    }

    RoundedDecimal rounded;
    rounded.integerDigits = digits.substr(0, integerLength);
    rounded.fractionDigits = digits.substr(integerLength);
    const auto firstSignificant = rounded.integerDigits.find_first_not_of('0');
    rounded.integerDigits.erase(0, std::min(firstSignificant, rounded.integerDigits.size() - 1));
    rounded.negative = std::signbit(value) && digits.find_first_not_of('0') != std::string::npos;
    return rounded;
}

std::string GroupThousands(std::string_view digits, std::string_view separator) {
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

std::string FormatFixed(double value, int decimals, const NumberFormat& format) {
    const auto rounded = RoundDecimal(value, decimals);
    if (!rounded) return {};
    std::string text = rounded->negative ? "-" : "";
    text += GroupThousands(rounded->integerDigits, format.groupSeparator);
    if (!rounded->fractionDigits.empty()) text += format.decimalSeparator + rounded->fractionDigits;
    return text;
}

}  // namespace discstart
