#include <charconv>
#include <cmath>

#include "fuzz_checks.h"

namespace discstart {

namespace {

// The length a lead byte announces, 0 for a byte that cannot start a character.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes `count` digits from the front of `text` into `digits`.
bool TakeDigits(std::string_view& text, std::size_t count, std::string& digits) {
    if (text.size() < count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsDigit(text[i])) return false;
    }
    digits.append(text.substr(0, count));
    text.remove_prefix(count);
    return true;
}

// The integer part: one to three digits, then groups of three behind the separator.
bool TakeGroupedDigits(std::string_view& text, const std::string& separator, std::string& digits) {
    std::size_t lead = 0;
    while (lead < text.size() && IsDigit(text[lead])) ++lead;
    if (lead == 0) return false;
    if (separator.empty()) return TakeDigits(text, lead, digits);
    if (lead > 3 || !TakeDigits(text, lead, digits)) return false;
    while (text.starts_with(separator)) {
        text.remove_prefix(separator.size());
        if (!TakeDigits(text, 3, digits)) return false;
    }
    return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || text.size() - i < static_cast<std::size_t>(length)) return false;
        for (int k = 1; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return false;
        }
        if (length > 2) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
            if (lead == 0xE0 && second < 0xA0) return false;
            if (lead == 0xED && second > 0x9F) return false;
            if (lead == 0xF0 && second < 0x90) return false;
            if (lead == 0xF4 && second > 0x8F) return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::size_t CountCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if (!IsContinuation(static_cast<unsigned char>(c))) ++count;
    }
    return count;
}

bool IsFixedText(std::string_view text, double value, int decimals, const NumberFormat& format) {
    if (!std::isfinite(value) || decimals < 0) return false;
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);

    std::string digits;
    if (!TakeGroupedDigits(text, format.groupSeparator, digits)) return false;
    if (digits.size() > 1 && digits.front() == '0') return false;
    if (decimals > 0) {
        if (!text.starts_with(format.decimalSeparator)) return false;
        text.remove_prefix(format.decimalSeparator.size());
        digits += '.';
        if (!TakeDigits(text, static_cast<std::size_t>(decimals), digits)) return false;
    }
    if (!text.empty()) return false;

    double shown = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), shown);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    if (negative && shown == 0) return false;  // a value that rounds to zero carries no sign
    if (negative) shown = -shown;
    // Either neighbour of a tie is accepted; the slack covers the decimal text's own rounding.
    const double halfStep = 0.5 * std::pow(10.0, -decimals);
    return std::fabs(shown - value) <= halfStep * (1 + 1e-9) + std::fabs(value) * 1e-15;
}

}  // namespace discstart
