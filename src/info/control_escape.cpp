#include "info/control_escape.h"

#include "info/display_text.h"

namespace discstart {

namespace {

void AppendEscape(std::string& out, unsigned code) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += Hex[(code >> 4) & 15];
    out += Hex[code & 15];
}

}  // namespace

std::string EscapeControlCharacters(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto lead = static_cast<unsigned char>(utf8.front());
        const std::size_t length = Utf8SequenceLength(utf8);
        if (lead < 0x20 || lead == 0x7F) {
            AppendEscape(out, lead);
        } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(utf8[1]) < 0xA0) {
            // U+0080..U+009F: a terminal may take U+009B as the start of a control sequence.
            AppendEscape(out, static_cast<unsigned char>(utf8[1]));
        } else {
            out.append(utf8.substr(0, length == 0 ? 1 : length));
        }
        utf8.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

}  // namespace discstart
