#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace discstart {

// Length of the well-formed UTF-8 sequence at the start of `bytes`, 0 when there is none
// (overlong forms, surrogates and code points past U+10FFFF are not well formed).
std::size_t Utf8SequenceLength(std::string_view bytes);

// The character at the start of `bytes` (not empty) and how many bytes it takes; a byte
// that starts no well-formed sequence stands for U+FFFD and takes one.
struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 1;
};
Utf8Character FirstCharacter(std::string_view bytes);

// Appends the character as UTF-8; one that cannot be written (a surrogate, past U+10FFFF) as
// U+FFFD.
void AppendUtf8(std::string& out, char32_t code);

// The character a Windows-1252 byte stands for; the five bytes it leaves undefined keep their
// own code point, as Windows does.
char32_t Cp1252Character(unsigned char byte);

}  // namespace discstart
