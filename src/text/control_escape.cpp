#include "text/control_escape.h"

#include "text/display_text.h"
#include "text/invisible.h"

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

namespace discstart {

std::string DisplayLine(std::string_view bytes) {
    const std::string text = DisplayText(bytes);
    std::string_view rest = text;
    std::string out;
    out.reserve(text.size());
    while (!rest.empty()) {
        const Utf8Character c = FirstCharacter(rest);
        const bool crlf = c.code == '\r' && rest.size() > 1 && rest[1] == '\n';
        rest.remove_prefix(crlf ? 2 : c.length);
        switch (c.code) {
            case '\t':
            case '\n':
            case '\v':
            case '\f':
            case '\r':
            case 0x85:
            case 0x2028:
            case 0x2029:
                out += ' ';
                break;
            default:
                if (!IsControl(c.code) && !IsInvisible(c.code)) AppendUtf8(out, c.code);
        }
    }
    return out;
}

}  // namespace discstart
