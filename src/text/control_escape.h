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

// Bytes from the file (DisplayText) as the window shows them on one line: a line break (CR,
// LF, CR LF, VT, FF, NEL, U+2028, U+2029) and a tab as one space; the other control characters
// and the format characters above left out, so that a tag or a codec name can neither reorder
// what follows it nor cut its line short. A label shows no escape: it would read as part of the
// name.
std::string DisplayLine(std::string_view bytes);

}  // namespace discstart
