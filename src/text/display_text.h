#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text_bytes.h"

namespace discstart {

// Bytes from the file as the window shows them: up to the first zero byte, valid UTF-8
// as it stands, anything else read as Windows-1252. Always returns valid UTF-8.
std::string DisplayText(std::string_view bytes);

// Every byte read as Windows-1252, as UTF-8: the one decoder for tags and pages alike.
std::string Windows1252ToUtf8(std::string_view bytes);

// The first `count` characters (code points) of a UTF-8 text; never splits a character.
std::string CutCharacters(std::string_view utf8, std::size_t count);

}  // namespace discstart
