#include "info/control_escape.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "info/display_text.h"

namespace discstart {

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

void AppendEscape(std::string& out, unsigned code) {
    out += "\\x";
    out += Hex[(code >> 4) & 15];
    out += Hex[code & 15];
}

void AppendCodeEscape(std::string& out, char32_t code) {
    const int digits = code > 0xFFFF ? 8 : 4;
    out += code > 0xFFFF ? "\\U" : "\\u";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += Hex[(code >> shift) & 15];
}

// Unicode's format characters (Cf, as of Unicode 15) and the line and paragraph separators.
constexpr std::pair<char32_t, char32_t> Invisible[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

bool IsInvisible(char32_t code) {
    const auto range = std::upper_bound(std::begin(Invisible), std::end(Invisible), code,
                                        [](char32_t c, const auto& r) { return c < r.first; });
    return range != std::begin(Invisible) && code <= std::prev(range)->second;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto lead = static_cast<unsigned char>(utf8.front());
        const std::size_t length = Utf8SequenceLength(utf8);
        const char32_t code = length == 0 ? 0 : FirstCharacter(utf8).code;
        if (lead < 0x20 || lead == 0x7F) {
            AppendEscape(out, lead);
        } else if (length == 2 && code < 0xA0) {
            // U+0080..U+009F: a terminal may take U+009B as the start of a control sequence.
            AppendEscape(out, code);
        } else if (length > 1 && IsInvisible(code)) {
            AppendCodeEscape(out, code);
        } else {
            out.append(utf8.substr(0, length == 0 ? 1 : length));
        }
        utf8.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

}  // namespace discstart
