#pragma once

#include <string>
#include <string_view>

namespace discstart {

// A UTF-8 text made safe for a terminal: each control character (C0, DEL and C1) is written
// as \xNN, so names and tags can neither move the cursor nor split a line, and each format
// character (Unicode's Cf: bidirectional overrides and isolates, zero-width characters, the
// byte order mark) and line or paragraph separator as \uNNNN (\UNNNNNNNN past U+FFFF), so that
// "trailer\u202Eexe.avi" cannot read as "traileriva.exe". Other characters, and bytes that are
// not UTF-8, pass as they are.
std::string EscapeControlCharacters(std::string_view utf8);

}  // namespace discstart
