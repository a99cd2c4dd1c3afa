#include "text/control_escape.h"

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(EscapeControlCharacters, LeavesNothingATerminalObeys) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Film", "Film"},
        {"a\x1B[2Jb", "a\\x1B[2Jb"},  // ESC: clear the screen
        {"bell\x07 cr\r nl\n tab\t", "bell\\x07 cr\\x0D nl\\x0A tab\\x09"},
        {"del\x7F", "del\\x7F"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\x9B2J"},                                                    // U+009B, the one-character CSI
        {"\xC2\xA0\xC3\xA9\xE2\x82\xAC", "\xC2\xA0\xC3\xA9\xE2\x82\xAC"},  // no-break space, é, €
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"\xE9t\xE9", "\xE9t\xE9"},  // bytes that are not UTF-8 pass
        // Format characters: "trailer<RLO>exe.avi" would read "traileriva.exe".
        {"trailer\xE2\x80\xAE"
         "exe.avi",
         "trailer\\u202Eexe.avi"},
        {"\xE2\x81\xA6x\xE2\x81\xA9 \xE2\x80\x8B \xEF\xBB\xBF", "\\u2066x\\u2069 \\u200B \\uFEFF"},
        {"line\xE2\x80\xA8"
         "break",
         "line\\u2028break"},
        {"tag\xF3\xA0\x81\x81", "tag\\U000E0041"},
        // Their neighbours are shown: a hair space, a hyphen, an arabic letter.
        {"\xE2\x80\x8A\xE2\x80\x90\xD8\xA7", "\xE2\x80\x8A\xE2\x80\x90\xD8\xA7"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControlCharacters(c.text), c.shown) << c.text;
}

// The window's labels: nothing a tag holds may reorder the line or break it, and the text
// stays what it reads as (no escapes).
TEST(DisplayLine, NeitherReordersNorBreaks) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"Film", "Film"},
        {"Trailer\xE2\x80\xAE"
         "exe.mkv",
         "Trailerexe.mkv"},                                                      // U+202E
        {"\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xACx\xE2\x80\xAD", "x"},              // U+202A..U+202D
        {"\xE2\x81\xA6\xE2\x81\xA7\xE2\x81\xA8x\xE2\x81\xA9", "x"},              // U+2066..U+2069
        {"\xE2\x80\x8Ez\xE2\x80\x8B\xEF\xBB\xBF\xC2\xAD\xF3\xA0\x81\x81", "z"},  // LRM, ZWSP, BOM, SHY, tag A
        {"one\ntwo\rthree\r\nfour\tfive", "one two three four five"},
        {"a\xE2\x80\xA8"
         "b\xE2\x80\xA9"
         "c\xC2\x85"
         "d\x0B\x0C"
         "e",
         "a b c d  e"},
        {"bell\x07\x1B[2J\x7F\xC2\x9B", "bell[2J"},
        {std::string("cut\0here", 8), "cut"},
        // Their neighbours stay: a hair space, a hyphen, an arabic letter, no-break space.
        {"\xE2\x80\x8A\xE2\x80\x90\xD8\xA7\xC2\xA0", "\xE2\x80\x8A\xE2\x80\x90\xD8\xA7\xC2\xA0"},
        {"caf\xE9\x85", "caf\xC3\xA9\xE2\x80\xA6"},  // Windows-1252, whose 0x85 is an ellipsis
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayLine(c.bytes), c.shown) << c.bytes;
}

}  // namespace

}  // namespace discstart
