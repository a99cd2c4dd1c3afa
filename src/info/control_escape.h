#pragma once

#include <string>
#include <string_view>

namespace discstart {

// A UTF-8 text made safe for a terminal: each control character (C0, DEL and C1) is written
// as \xNN, so names and tags can neither move the cursor nor split a line. Other characters,
// and bytes that are not UTF-8, pass as they are.
std::string EscapeControlCharacters(std::string_view utf8);

}  // namespace discstart
