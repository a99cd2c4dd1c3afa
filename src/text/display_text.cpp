#include "text/display_text.h"

#include <cstdint>

namespace discstart {

namespace {

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = Utf8SequenceLength(bytes);
        if (length == 0) return false;
        bytes.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(text, Cp1252Character(byte));
    }
    return text;
}

std::string CutCharacters(std::string_view utf8, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (characters == count) return std::string(utf8.substr(0, i));
        ++characters;
    }
    return std::string(utf8);
}

}  // namespace discstart
