#include "info/control_escape.h"

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

}  // namespace

}  // namespace discstart
